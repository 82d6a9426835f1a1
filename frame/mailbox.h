#pragma once
#include <QString>

// The mailbox through which sibling programs of the family ask this program to
// show a creature: the value "Message" of group "Communications" in the
// per-user settings file of "Quenmarrow" ($XDG_CONFIG_HOME/Quenmarrow.ini,
// ~/.config/Quenmarrow.ini when XDG_CONFIG_HOME is unset).

// The text that reading gives when no message is pending; it is no number.
inline constexpr const char* kNoMessage = "#*0000*#";

// Returns the pending message and removes that one value (every other value of
// the file stays). kNoMessage when nothing is pending.
QString ReadMessage();

// The settings file the mailbox lives in.
QString MailboxFilePath();
