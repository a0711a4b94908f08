// Names of parameterised test cases in words, for the test list and for
// the report of a failing case.
#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace rastrex::test {

// A test-case name made of the letters and digits of a description:
// "-o with a file" gives "oWithAFile".
inline std::string caseName(std::string_view what)
{
    std::string name;
    bool upper = false;
    for (const char c : what) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            name += upper && !name.empty() ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
            upper = false;
        } else {
            upper = true;
        }
    }
    return name;
}

}  // namespace rastrex::test
