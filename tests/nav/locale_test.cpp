// Numbers never follow the process locale: under a French locale (comma separator) the program
// still writes "." and reads both separators.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "nav/Conversions.h"
#include "nav/ValidFloat.h"

using namespace corvel::nav;

TEST(Locale, CommaLocaleChangesNothing) {
    const char* names[] = {"fr_FR.UTF-8", "fr_FR.utf8", "de_DE.UTF-8"};
    const char* set = nullptr;
    for (const char* name : names) {
        if ((set = std::setlocale(LC_ALL, name)) != nullptr) break;
    }
    if (set == nullptr)
        GTEST_SKIP() << "no locale with a comma separator is installed (scripts/setup.sh makes fr_FR.UTF-8)";
    ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");

    EXPECT_EQ(FormatFixed(318.46L, 4, 1), "318.5");
    EXPECT_EQ(FormatGeneral(6.78L), "6.78");
    EXPECT_EQ(ValidFloat("4.14"), ValidFloat("4,14"));
    EXPECT_NEAR(static_cast<double>(ValidFloat("4.14")), 4.14, 1e-15);

    ForceDotSeparator();
    EXPECT_EQ(std::string(std::localeconv()->decimal_point), ".");
    std::setlocale(LC_ALL, "C");
}
