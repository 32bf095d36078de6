#include "reminder_memory.h"

#include "registry.h"

namespace velmi {
namespace {

struct Value {
    std::wstring ReminderMemory::*field;
    const wchar_t* name;
};
constexpr std::array<Value, 4> kValues{{{&ReminderMemory::lastCheck, L"LastCheck"},
                                        {&ReminderMemory::wentOff, L"WentOff"},
                                        {&ReminderMemory::countdowns, L"Countdowns"},
                                        {&ReminderMemory::snoozes, L"Snoozes"}}};

}  // namespace

ReminderMemory ReminderMemoryStore::Read() {
    ReminderMemory memory;
    for (std::size_t i = 0; i < kValues.size(); ++i) {
        RegText read = ReadRegText(root_, path_, kValues[i].name, L"");
        // A missing value reads as empty and is not written until it holds something.
        stored_[i].reset();
        if (read.result.Failed()) continue;
        stored_[i] = read.text;
        memory.*kValues[i].field = std::move(read.text);
    }
    return memory;
}

void ReminderMemoryStore::Write(const ReminderMemory& memory) {
    for (std::size_t i = 0; i < kValues.size(); ++i) {
        const std::wstring& text = memory.*kValues[i].field;
        if (stored_[i] == text) continue;
        // A failed write is tried again at the next save.
        if (WriteRegText(root_, path_, kValues[i].name, text).Failed())
            stored_[i].reset();
        else
            stored_[i] = text;
    }
}

}  // namespace velmi
