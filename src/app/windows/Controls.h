// The controls of the windows as plain data. A window model holds them under the names its view
// shows; the view copies them to widgets and copies the user's edits back before a command runs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvel::app {

// 32-bit ARGB colour, as written #AARRGGBB.
using Colour = std::uint32_t;

namespace colours {
inline constexpr Colour Black = 0xFF000000;
inline constexpr Colour White = 0xFFFFFFFF;
inline constexpr Colour Grey = 0xFF808080;
inline constexpr Colour Green = 0xFF008000;
inline constexpr Colour Red = 0xFFFF0000;
inline constexpr Colour Yellow = 0xFFFFFF00;
inline constexpr Colour LightSalmon = 0xFFFFA07A;
inline constexpr Colour DarkSlateBlue = 0xFF483D8B;
inline constexpr Colour DarkBlue = 0xFF00008B;
inline constexpr Colour Default = 0;  // the style's own colour
}  // namespace colours

// Writes `text` into a control's text unless it already shows it: the tick writes the same words
// twenty times a second, and an unchanged text then costs a comparison.
inline void SetText(std::string& field, std::string_view text) {
    if (field != text) field.assign(text);
}

struct EditField {
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool readOnly = false;
    Colour background = colours::Default;
    Colour textColour = colours::Default;
    bool italic = false;
    std::string hint;
};

struct Label {
    std::string text;
    bool visible = true;
    std::string hint;
};

struct Button {
    std::string caption;
    bool enabled = true;
    bool visible = true;
    Colour fill = colours::Default;
    std::string hint;
};

struct RadioButton {
    bool checked = false;
    bool enabled = true;
    std::string hint;
};

struct CheckBox {
    bool checked = false;
    bool enabled = true;
};

struct Switch {
    bool isChecked = false;
    bool enabled = true;
    std::string hint;
};

struct SpinBox {
    double value = 0;
    double min = 0;
    double max = 100;
    bool enabled = true;
};

struct TrackBar {
    int value = 0;
    int min = 0;
    int max = 10;  // a window sets its own range
    bool enabled = true;
};

struct ComboBox {
    std::vector<std::string> items;
    int itemIndex = -1;
    bool enabled = true;
    std::string hint;
    std::string text() const {
        return itemIndex >= 0 && itemIndex < static_cast<int>(items.size()) ? items[static_cast<size_t>(itemIndex)]
                                                                            : "";
    }
};

struct MenuItem {
    std::string text;
    bool enabled = true;
    bool checked = false;
};

// A picture showing one image of an image list.
struct Glyph {
    int imageIndex = 0;
};

}  // namespace corvel::app
