#pragma once
// The administrator's values for every PC: policies under HKLM\Software\Policies\plumwick and the
// machine-wide values the installer writes under HKLM\Software\plumwick. Read on the window thread, kept
// for the process, and read again when they change.
#include "store/ManagedValues.h"
#include "win32/Handles_win.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace plumwick::win {

// Reads both keys again, each value checked against the table and `rule`; what is good takes effect for
// every read from now on (ReadValue among them). The problems name the values ignored.
std::vector<std::u16string> LoadManagedValues(const ManagedRule& rule);

const ValueTable& PolicyValues();
const ValueTable& MachineValues();
bool ByPolicy(std::u16string_view managed);

// The value from the strongest source: policy, the user's memory, machine-wide, then `weaker` (shop.ini,
// the defaults); nothing when none holds it.
std::optional<std::u16string> ReadAdministered(const StoreKey& key,
                                               const std::vector<const ValueSource*>& weaker = {});

// Tells the window thread, through the program's task queue, when either key (or a key above a missing
// one) changes. A change is told once the keys have been quiet for a moment: a policy refresh rewrites
// the whole key.
class ManagedValuesWatcher {
  public:
    explicit ManagedValuesWatcher(std::function<void()> changed);
    ~ManagedValuesWatcher();
    ManagedValuesWatcher(const ManagedValuesWatcher&) = delete;
    ManagedValuesWatcher& operator=(const ManagedValuesWatcher&) = delete;

    // Starts the thread; false when it cannot be made (the values then apply from the next start).
    bool Start();

  private:
    static unsigned long __stdcall ThreadMain(void* parameter);
    void Run();

    std::function<void()> changed_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    UniqueKernelHandle stop_;
    UniqueKernelHandle thread_;
};

} // namespace plumwick::win
