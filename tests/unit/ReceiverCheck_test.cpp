// Whom plumwick-send hands a command to: the process behind the pipe's name or the box's window must run
// in the target session under the sender's user, or under that session's user for a service's sender.
#include "command/ReceiverCheck.h"

#include <gtest/gtest.h>

using namespace plumwick::send;

namespace {

constexpr char kAlice[] = "S-1-5-21-1-2-3-1001";
constexpr char kBob[] = "S-1-5-21-1-2-3-1002";
constexpr char kService[] = "S-1-5-20"; // Network Service

ProcessIdentity Runs(const char* user, unsigned long session) {
    return ProcessIdentity{true, user, session, {}};
}

} // namespace

TEST(ReceiverCheck, TheSendersOwnUserInTheTargetSessionIsTheOnlyReceiverOfAnOrdinarySender) {
    const SenderIdentity alice{kAlice, false};
    EXPECT_EQ(ReceiverProblem(Runs(kAlice, 1), alice, 1, std::nullopt), std::nullopt);
    // Another user's process holding the name, in the same session or any other: a decoy.
    EXPECT_EQ(ReceiverProblem(Runs(kBob, 1), alice, 1, std::nullopt),
              "runs as another user (" + std::string(kBob) + ")");
    EXPECT_EQ(ReceiverProblem(Runs(kService, 1), alice, 1, std::string(kService)),
              "runs as another user (" + std::string(kService) + ")")
        << "only a privileged sender takes the session's user";
    // The sender's own user in another session (a pipe name is not bound to its session).
    EXPECT_EQ(ReceiverProblem(Runs(kAlice, 2), alice, 1, std::nullopt),
              "runs in session 2, not in session 1");
}

TEST(ReceiverCheck, AServiceOrAnAdministratorSendsOnlyToTheUserOfTheTargetSession) {
    for (const SenderIdentity& sender : {SenderIdentity{kSystemSid, true}, SenderIdentity{kBob, true}}) {
        EXPECT_EQ(ReceiverProblem(Runs(kAlice, 1), sender, 1, std::string(kAlice)), std::nullopt)
            << sender.userSid;
        // Bob is no longer the session's user: his process is as much a decoy as anyone's.
        EXPECT_EQ(ReceiverProblem(Runs(kService, 1), sender, 1, std::string(kAlice)),
                  "runs as " + std::string(kService) + ", not as the user of session 1 (" + kAlice + ")")
            << sender.userSid;
        EXPECT_EQ(ReceiverProblem(Runs(kAlice, 3), sender, 1, std::string(kAlice)),
                  "runs in session 3, not in session 1");
        // Nobody logged on, or the session's user could not be learned: nobody but the sender's own user.
        EXPECT_EQ(ReceiverProblem(Runs(kAlice, 1), sender, 1, std::nullopt)
                          .value_or("")
                          .find("cannot be learned") != std::string::npos,
                  sender.userSid != kAlice);
    }
    // An administrator's own process in the target session is its own user's.
    EXPECT_EQ(ReceiverProblem(Runs(kBob, 1), SenderIdentity{kBob, true}, 1, std::string(kAlice)),
              std::nullopt);
}

TEST(ReceiverCheck, AProcessThatCannotBeIdentifiedNeverGetsTheCommand) {
    ProcessIdentity hidden;
    hidden.problem = "OpenProcess failed: Access denied.";
    for (const SenderIdentity& sender : {SenderIdentity{kAlice, false}, SenderIdentity{kSystemSid, true}}) {
        EXPECT_EQ(ReceiverProblem(hidden, sender, 1, std::string(kAlice)),
                  "cannot be identified (OpenProcess failed: Access denied.)");
    }
    // A sender that could not read its own user trusts nobody but the session's user, and only when
    // privileged.
    EXPECT_NE(ReceiverProblem(Runs(kAlice, 1), SenderIdentity{"", false}, 1, std::nullopt), std::nullopt);
    EXPECT_NE(ReceiverProblem(Runs("", 1), SenderIdentity{"", false}, 1, std::nullopt), std::nullopt);
}
