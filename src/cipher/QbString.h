#pragma once
// Base64 (RFC 4648, one line) and the block modes over strings: a string
// operation enciphers the string's bytes and gives the Base64 text of the
// cipher stream, or the other way round.

#include <cstdint>
#include <iosfwd>
#include <string>

#include "cipher/QbCipher.h"
#include "cipher/QbProc.h"

void Base64EncodeStream(std::istream& InStream, std::ostream& OutStream);
// Raises std::runtime_error "Invalid Base64 Character" for a character outside
// the alphabet or a "=" in the first two places of a group.
void Base64DecodeStream(std::istream& InStream, std::ostream& OutStream);

std::string StringECB(const std::string& InString, const TBlowfishKey& Key, bool Encrypt);
// The same with the key's pad (KeyPadOf) at hand: no key schedule per call.
std::string StringECBWithPad(const std::string& InString, std::uint64_t KeyPad, bool Encrypt);
// What the transform under Key XORs with every block, as a block in memory order.
std::uint64_t KeyPadOf(const TBlowfishKey& Key);
std::string StringCBC(const std::string& InString, const TBlowfishKey& Key, bool Encrypt,
                      const TQbMillisecondTimer& Timer = SystemMilliseconds);
