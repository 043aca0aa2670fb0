#pragma once
// Checks that must run without root's right to read everything.

#include <functional>

namespace gb::test {

// Runs `check` as an ordinary user: in this process when it is one, else in a child that drops to nobody.
// True when the check held.
bool holdsForAnOrdinaryUser(const std::function<bool()>& check);

}  // namespace gb::test
