// vxzip brand's inputs, checked before the executable is touched: each problem
// is one line for the user.
#pragma once

#include "exe/IconFile.h"
#include "os/WideText.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vxzip {

struct BrandInputs {
    std::optional<std::u16string> name;      // string 133
    std::optional<std::u16string> folder;    // string 134
    std::optional<std::u16string> guid;      // string 136
    std::optional<std::u16string> languages; // string 163
    std::optional<std::u16string> vendor;    // string 169 and the texts that name it
    std::optional<std::u16string> url;       // the web address in string 152
    std::optional<std::u16string> company;
    std::optional<std::u16string> product;
    std::optional<std::array<uint16_t, 4>> version;
    std::optional<std::vector<uint8_t>> banner; // bitmap resource data
    std::optional<std::vector<vexmar::IconImage>> icon;
};

// The options read and checked; on a problem, false with `file` (the file at
// fault, or empty for the executable) and `problem` set.
bool readBrandInputs(const std::vector<std::pair<std::string, std::string>>& options,
                     BrandInputs& inputs, std::string& file, std::string& problem);

// The checks that need the launcher: the name, folder and vendor against the
// longest folder its path budget allows (`reserve`, string 135). Empty when they pass.
std::string checkAgainstBudget(const BrandInputs& inputs, int reserve);

} // namespace vxzip
