// The catalogue of the 27 sentence kinds; see NmeaCatalogue.h.
#include "nmea/NmeaCatalogue.h"

namespace corvel::nmea {

std::string SelectionLine(const SentenceInfo& info) {
    std::string line = " ";
    line += info.type;
    line += info.obsolete ? "*  " : "   ";
    line += info.description;
    return line;
}

}  // namespace corvel::nmea
