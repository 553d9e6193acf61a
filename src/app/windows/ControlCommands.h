// The commands of the window's controls by name, as a headless run's --do and its control port give
// them, and the control port's lines: one command a line, one answer a line. Pure text in and out
// over the main window model and its engine; the socket server is in links/.
//
// A control line is one of:
//   a command of the window (VIRER, EMPANNER, ..., see WindowCommands), refused with the
//     engine's reason when the engine would not take it now (its control disabled, or its rules);
//   SET TWS KNOTS | SET TWD DEGREES | SET HDG DEGREES | SET CURRENT KNOTS DEGREES |
//   SET POS DD MM.M N|S DDD MM.M E|W | SET WP NAME DD MM.M N|S DDD MM.M E|W:
//     the fields of the main window edited as a user edits them (the wind, heading, current and
//     position between a pause and a resume, which reads them back; the waypoint with its
//     button), each number a plain decimal (nav::ParsePlainDecimal) within the range the
//     configuration loader accepts for it, a direction written into 0..360;
//   STATE: the boat now, as one JSON object.
// During a replay no boat is simulated: STATE says so, the commands and SET are refused.
// The answer is "OK", "ERR <reason>" (French) or, for STATE, the JSON line; never a line break.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/windows/MainWindowModel.h"

namespace corvel::app {

// The window's commands, one row each: the window's buttons and shortcuts, --do, the control port
// and the usage texts all come from this table. A command by name calls the handler a click calls,
// and is refused exactly when the engine's question says its control is not offered (or when the
// engine's own rules refuse it: sim::Simulator::WhyRefused).
struct WindowCommand {
    std::string_view name;     // for --do and the control port; empty: the window's alone
    std::string_view control;  // the control a click presses (its name in the window model)
    // What the click calls; `argument` is N of a command "NAME=N" (the tiller's position).
    void (*click)(TFCorvel& w, int argument);
    std::optional<sim::Command> question;  // whether it is offered now; none: always
    // The control's enabled state, which the engine's question sets; null when it has none.
    bool& (*enabled)(TFCorvel& w);
    // A choice already in force: the French reason a command by name changes nothing; null: never.
    std::string_view (*inForce)(const TFCorvel& w);
    std::string_view shortcut;  // the key, in portable text ("F7", "Ctrl+Shift+Left"); empty: none
};
std::span<const WindowCommand> WindowCommands();
// The row of a control that a click or its shortcut runs; null when there is none.
const WindowCommand* CommandOfControl(std::string_view control);
// The names of the commands by name, in the table's order, for messages and help: "VIRER,
// EMPANNER, ..., BARRE=N, ...".
std::string WindowCommandNames();

// The tiller position of "BARRE=N", N a whole number 0..30; nothing for another text.
std::optional<int> TillerPosition(std::string_view command);
// Whether `command` names a command of the window (BARRE=N with N in range).
bool IsWindowCommand(std::string_view command);
// Runs one command of the window now, as a click on its control: "" when it ran, else why it was
// refused, in French (the engine's reason, sim::Simulator::WhyRefused, or the current's choice
// already in force). PAUSE and REPRISE are the pause button's two states; resume reads the start
// conditions from the fields, as the window does.
std::string_view RunWindowCommand(TFCorvel& w, std::string_view command);

// The longest control line, its line end apart; a longer one is refused whole.
inline constexpr std::size_t kMaxControlLineBytes = 256;

// What the control port drives: the simulation, or a replay, which simulates nothing.
enum class ControlledRun { Simulation, Replay };

// The answer to one control line (without its line end; a CR before it is taken off already or
// here). Never throws, whatever the bytes.
std::string AnswerControlLine(TFCorvel& w, std::string_view line, ControlledRun run = ControlledRun::Simulation);

// The answer to a line that was longer than kMaxControlLineBytes.
std::string LineTooLongAnswer();

// STATE's JSON object: the simulated seconds since the start (the run's clock, which goes on
// during a pause, as the times of --do count), the position (null when the sentences cannot
// write it: past a pole), HDG, COG, SOG, BSP, TWS, TWD, AWS, AWA, the depth, the pilot mode, the
// manoeuvre under way, the tack, whether the simulation is paused, and "replay":false (a replay's
// STATE is {"replay":true}).
std::string StateJson(const TFCorvel& w);

}  // namespace corvel::app
