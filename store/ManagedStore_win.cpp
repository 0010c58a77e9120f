#include "store/ManagedStore_win.h"

#include "store/UserMemoryStore_win.h"
#include "win32/Strings_win.h"
#include "win32/UiTask_win.h"

#include <algorithm>

namespace plumwick::win {

namespace {

// Only the window thread reads and replaces these.
ValueTable& Policy() {
    static ValueTable table(ValueOrigin::Policy);
    return table;
}
ValueTable& Machine() {
    static ValueTable table(ValueOrigin::Machine);
    return table;
}

// Every value below the key, as its type allows; nothing when the key is not there.
std::vector<std::pair<std::u16string, RegistryData>> ReadKey(std::u16string_view path) {
    std::vector<std::pair<std::u16string, RegistryData>> read;
    UniqueKey key;
    std::wstring wide = ToWide(path);
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put()) !=
        ERROR_SUCCESS) {
        return read;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        DWORD type = 0;
        DWORD size = 0;
        LONG status = RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type, nullptr, &size);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status != ERROR_SUCCESS || !FindManagedValue(ToU16(std::wstring(name, nameLength)))) {
            continue;
        }
        RegistryData data;
        if (type == REG_DWORD && size == sizeof(DWORD)) {
            DWORD number = 0;
            DWORD bytes = sizeof number;
            if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &bytes) ==
                    ERROR_SUCCESS &&
                type == REG_DWORD) {
                data.type = RegistryData::Type::Number;
                data.number = number;
            }
        } else if ((type == REG_SZ || type == REG_EXPAND_SZ) && size <= kStoreMaxBytes) {
            std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
            DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
            if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                                 &bytes) == ERROR_SUCCESS &&
                (type == REG_SZ || type == REG_EXPAND_SZ)) {
                text.resize(std::min<std::size_t>(bytes / sizeof(wchar_t), text.size()));
                if (std::size_t nul = text.find(L'\0'); nul != std::wstring::npos) {
                    text.resize(nul);
                }
                data.type = RegistryData::Type::String;
                data.text = ToU16(text);
            }
        }
        read.emplace_back(ToU16(std::wstring(name, nameLength)), std::move(data));
    }
    return read;
}

} // namespace

std::vector<std::u16string> LoadManagedValues(const ManagedRule& rule) {
    ManagedReading policy = CheckManagedValues(ValueOrigin::Policy, ReadKey(kPolicyKey), rule);
    ManagedReading machine = CheckManagedValues(ValueOrigin::Machine, ReadKey(kMachineKey), rule);
    Policy() = std::move(policy.values);
    Machine() = std::move(machine.values);
    std::vector<std::u16string> problems = std::move(policy.problems);
    problems.insert(problems.end(), machine.problems.begin(), machine.problems.end());
    return problems;
}

const ValueTable& PolicyValues() {
    return Policy();
}

const ValueTable& MachineValues() {
    return Machine();
}

bool ByPolicy(std::u16string_view managed) {
    return Policy().Holds(managed);
}

std::optional<std::u16string> ReadAdministered(const StoreKey& key,
                                               const std::vector<const ValueSource*>& weaker) {
    static const UserRegistry user;
    std::vector<const ValueSource*> sources{&Policy(), &user, &Machine()};
    sources.insert(sources.end(), weaker.begin(), weaker.end());
    return ReadByPrecedence(sources, key);
}

// --- Watcher -------------------------------------------------------------------------------------

ManagedValuesWatcher::ManagedValuesWatcher(std::function<void()> changed) : changed_(std::move(changed)) {}

ManagedValuesWatcher::~ManagedValuesWatcher() {
    *alive_ = false;
    if (thread_) {
        SetEvent(stop_.get());
        WaitForSingleObject(thread_.get(), INFINITE);
    }
}

bool ManagedValuesWatcher::Start() {
    if (thread_) {
        return true;
    }
    stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stop_) {
        return false;
    }
    thread_.reset(CreateThread(nullptr, 0, &ManagedValuesWatcher::ThreadMain, this, 0, nullptr));
    return static_cast<bool>(thread_);
}

unsigned long __stdcall ManagedValuesWatcher::ThreadMain(void* parameter) {
    static_cast<ManagedValuesWatcher*>(parameter)->Run();
    return 0;
}

void ManagedValuesWatcher::Run() {
    // Each key, or where it is missing the nearest key above it that is there: a policy key made later is
    // a change below that one.
    auto openNearest = [](std::wstring path, UniqueKey& key) {
        while (!path.empty()) {
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_NOTIFY | KEY_WOW64_64KEY, key.put()) ==
                ERROR_SUCCESS) {
                return true;
            }
            std::size_t slash = path.find_last_of(L'\\');
            path = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
        }
        return false;
    };
    struct Watched {
        std::wstring path;
        UniqueKey key;
        UniqueKernelHandle event;
        bool armed = false;
    };
    Watched watched[2] = {{ToWide(kPolicyKey), {}, {}, false}, {ToWide(kMachineKey), {}, {}, false}};
    auto arm = [&](Watched& w) {
        w.armed = false;
        if (!w.event) {
            w.event.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        }
        if (!w.event || !openNearest(w.path, w.key)) {
            return;
        }
        w.armed =
            RegNotifyChangeKeyValue(w.key.get(), TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                                    w.event.get(), TRUE) == ERROR_SUCCESS;
    };
    for (Watched& w : watched) {
        arm(w);
    }
    constexpr DWORD kQuietMs = 300;
    constexpr DWORD kRetryMs = 5000; // a key that could not be watched is tried again
    bool pending = false;
    while (true) {
        HANDLE handles[3] = {stop_.get(), watched[0].event.get(), watched[1].event.get()};
        DWORD count = 1;
        for (Watched& w : watched) {
            if (w.armed) {
                handles[count++] = w.event.get();
            }
        }
        bool allArmed = watched[0].armed && watched[1].armed;
        DWORD timeout = pending ? kQuietMs : allArmed ? INFINITE : kRetryMs;
        DWORD woke = WaitForMultipleObjects(count, handles, FALSE, timeout);
        if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) {
            return;
        }
        if (woke == WAIT_TIMEOUT) {
            if (pending) {
                pending = false;
                std::weak_ptr<bool> alive = alive_;
                uitask::Post([alive, changed = changed_] {
                    if (std::shared_ptr<bool> still = alive.lock(); still && *still) {
                        changed();
                    }
                });
            }
            for (Watched& w : watched) {
                if (!w.armed) {
                    arm(w);
                }
            }
            continue;
        }
        // One notification per arming: watch again (the key may have been made or deleted meanwhile),
        // then wait for the keys to fall quiet.
        HANDLE signalled = handles[woke - WAIT_OBJECT_0];
        for (Watched& w : watched) {
            if (w.event.get() == signalled) {
                arm(w);
            }
        }
        pending = true;
    }
}

} // namespace plumwick::win
