#include "tools/ReceiverIdentity_win.h"

#include "command/ReceiverCheck.h"
#include "common/TextUtil.h"
#include "win32/Handles_win.h"
#include "win32/Result_win.h"
#include "win32/Strings_win.h"

#include <sddl.h>
#include <wtsapi32.h>

#include <vector>

namespace plumwick {

namespace {

std::string Narrow(const std::wstring& wide) {
    return Utf16ToUtf8(win::ToU16(wide));
}

std::string SidText(PSID sid) {
    win::UniqueLocal<wchar_t*> text;
    if (!sid || !ConvertSidToStringSidW(sid, text.put())) {
        return {};
    }
    return Narrow(text.get());
}

// The user of the token, or empty with `problem` set.
std::string TokenUserSid(HANDLE token, std::string& problem) {
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size ? size : 1);
    if (!size || !GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        problem = Narrow(win::Result::LastError(L"GetTokenInformation").Text());
        return {};
    }
    return SidText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
}

send::ProcessIdentity IdentifyProcess(DWORD pid) {
    send::ProcessIdentity identity;
    win::UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    win::UniqueKernelHandle token;
    if (!process) {
        identity.problem = Narrow(win::Result::LastError(L"OpenProcess").Text());
        return identity;
    }
    if (!OpenProcessToken(process.get(), TOKEN_QUERY, token.put())) {
        identity.problem = Narrow(win::Result::LastError(L"OpenProcessToken").Text());
        return identity;
    }
    DWORD session = 0;
    if (!ProcessIdToSessionId(pid, &session)) {
        identity.problem = Narrow(win::Result::LastError(L"ProcessIdToSessionId").Text());
        return identity;
    }
    identity.userSid = TokenUserSid(token.get(), identity.problem);
    identity.session = session;
    identity.known = !identity.userSid.empty();
    return identity;
}

send::SenderIdentity IdentifySelf() {
    send::SenderIdentity self;
    win::UniqueKernelHandle token;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) {
        std::string ignored;
        self.userSid = TokenUserSid(token.get(), ignored);
    }
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    BOOL member = FALSE;
    if (AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                 0, &admins)) {
        CheckTokenMembership(nullptr, admins, &member); // an elevated token only
        FreeSid(admins);
    }
    self.privileged = member || self.userSid == send::kSystemSid;
    return self;
}

std::optional<std::wstring> SessionText(unsigned long session, WTS_INFO_CLASS what) {
    wchar_t* text = nullptr;
    DWORD bytes = 0;
    if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, session, what, &text, &bytes) || !text) {
        return std::nullopt;
    }
    std::wstring result = text;
    WTSFreeMemory(text);
    return result;
}

// The user logged on to the session, as a SID.
std::optional<std::string> SessionUser(unsigned long session) {
    std::optional<std::wstring> user = SessionText(session, WTSUserName);
    std::optional<std::wstring> domain = SessionText(session, WTSDomainName);
    if (!user || user->empty()) {
        return std::nullopt;
    }
    std::wstring account = domain && !domain->empty() ? *domain + L"\\" + *user : *user;
    DWORD sidSize = 0;
    DWORD domainSize = 0;
    SID_NAME_USE use{};
    LookupAccountNameW(nullptr, account.c_str(), nullptr, &sidSize, nullptr, &domainSize, &use);
    if (!sidSize) {
        return std::nullopt;
    }
    std::vector<BYTE> sid(sidSize);
    std::vector<wchar_t> domainName(domainSize ? domainSize : 1);
    if (!LookupAccountNameW(nullptr, account.c_str(), sid.data(), &sidSize, domainName.data(), &domainSize,
                            &use)) {
        return std::nullopt;
    }
    return SidText(sid.data());
}

} // namespace

std::optional<std::string> ReceiverRefusal(DWORD pid, unsigned long targetSession, const std::string& what) {
    static const send::SenderIdentity self = IdentifySelf(); // the sender's token does not change
    const send::ProcessIdentity receiver = IdentifyProcess(pid);
    std::optional<std::string> sessionUser;
    if (self.privileged && receiver.known && receiver.userSid != self.userSid) {
        sessionUser = SessionUser(targetSession);
    }
    std::optional<std::string> problem = send::ReceiverProblem(receiver, self, targetSession, sessionUser);
    if (!problem) {
        return std::nullopt;
    }
    return what + " (process " + std::to_string(pid) + ") " + *problem;
}

} // namespace plumwick
