#pragma once
// The ASCII to EBCDIC translation of the print server's records: code page
// 037 for the printable characters, with five characters the server reserves
// translated otherwise ("-" to 0x6D; "[", "]", "^" to 0x6F; "|" to 0xFA).
// Control characters and bytes from 0x80 up become 0x6F, the code page's "?".
#include <cstdint>
#include <string>
#include <string_view>

namespace hv::batchprint {

std::uint8_t toEbcdic(unsigned char ascii);
std::string toEbcdic(std::string_view ascii);

}  // namespace hv::batchprint
