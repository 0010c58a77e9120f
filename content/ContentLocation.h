#pragma once
// Where the content folder is. Shop.ini's ContentFolder may name a folder anywhere: a local path, a mapped
// drive or a network share, so that head office edits one folder (on a share, or one a sync engine keeps
// in step) and every shop shows it. Empty keeps Text\ beside the program.
#include <string>
#include <string_view>

namespace plumwick {

struct ContentFolderChoice {
    std::u16string folder; // always ending in '\'
    std::string error;     // UTF-8; when not empty the setting was refused and folder is the default
    std::string reason;    // UTF-8; what is wrong with the value alone (error without what happens instead)
};

// The content folder for a ContentFolder setting whose environment variables (%OneDrive%) are already
// expanded. Accepted: "D:\Shop\Text", "n:" (a mapped drive's root), "\\server\share\Text", "\\?\..." and a
// path relative to the program folder ("..\Shared\Text"), with '/' read as '\' and surrounding quotes
// dropped. A path the current directory or drive would decide ("\Text", "D:Text") or one with characters
// no Windows path holds, or that still names a variable (one not set on this PC), is refused, and the
// folder Text beside the program is used instead.
ContentFolderChoice ResolveContentFolder(std::u16string_view programFolder, std::u16string_view configured);

// The content folder when no ContentFolder is set: Text\ beside the program while the program folder can be
// written; installed where the operator cannot write (Program Files), `sharedDocuments`\plumwick\Text, the
// PC's public documents, which every user of it can write. Empty `sharedDocuments` (the system names
// none) keeps Text\. Ends in '\'.
std::u16string UnsetContentFolder(std::u16string_view programFolder, bool programFolderWritable,
                                  std::u16string_view sharedDocuments);

} // namespace plumwick
