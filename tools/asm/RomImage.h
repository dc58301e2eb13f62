// The processor's 64-word ROM image as a text file: one word per line as hexadecimal digits,
// '#' starts a comment, blank lines are ignored, words not given are 0x0000.
#pragma once

#include <string>

// Reads the image at path into the ROM byte layout: byte 2w holds bits 15..8 of word w and
// byte 2w+1 bits 7..0. On failure returns false and sets error to a one-line message
// ("prog.hex:3: bad word 'xyz' (expected 1 to 4 hexadecimal digits)").
bool readRomImage(const std::string& path, unsigned char bytes[128], std::string& error);
