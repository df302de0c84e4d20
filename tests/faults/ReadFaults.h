#pragma once

#include <cstdint>
#include <functional>

namespace quillet::test {

enum class ReadFault {
    Fail,   // the read delivers nothing, as when the system fails it
    Short,  // the read delivers half of what was asked
};

// Makes the `number`th read of a package file from now on (1: the next one) fail or come short,
// once. `beforeRead`, when given, runs just before that read (to change the file under it).
void ArmReadFault(uint64_t number, ReadFault fault, std::function<void()> beforeRead = {});
// Stops; true when the armed read was reached.
bool DisarmReadFault();
// Lets reads through again but runs `beforeRead` just before the `number`th read.
void ArmReadAction(uint64_t number, std::function<void()> beforeRead);

}  // namespace quillet::test
