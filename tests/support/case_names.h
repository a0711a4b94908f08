// Names of parameterised test cases in words, for the test list and for
// the report of a failing case.
#pragma once

#include <cctype>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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

// The case's place in its table before its words, for tables whose rows
// may spell alike: 3 and {"-j", "0"} give "3_j0".
inline std::string numberedCaseName(std::size_t index, const std::vector<std::string>& words)
{
    std::string joined;
    for (const std::string& w : words)
        joined += w + " ";
    return std::to_string(index) + "_" + caseName(joined);
}

}  // namespace rastrex::test
