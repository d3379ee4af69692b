// Prints the desktop encoder's module matrix for each line of hex bytes on
// standard input (one line of 0s and 1s per row, then an empty line; "-"
// when the bytes do not fit), for the comparison with the page's encoder
// (web/qr_same.js).
#include <iostream>
#include <string>
#include <vector>

#include "engine/present/qr/qr.h"

int main() {
    std::string hex;
    while (std::getline(std::cin, hex)) {
        std::vector<std::uint8_t> bytes;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
            bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
        const auto code = lk::encode_qr(bytes);
        if (!code) {
            std::cout << "-\n\n";
            continue;
        }
        for (int y = 0; y < code->size; ++y) {
            for (int x = 0; x < code->size; ++x) std::cout << (code->at(x, y) ? '1' : '0');
            std::cout << '\n';
        }
        std::cout << '\n';
    }
}
