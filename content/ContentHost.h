#pragma once
// What the content manager's publish acts on: the message list and its rotation, and the main line.
#include <string>
#include <vector>

namespace plumwick {

class ContentHost {
  public:
    virtual ~ContentHost() = default;
    virtual void StopRotation() = 0;
    // InfoLines replaced as a whole.
    virtual void ReplaceMessages(std::vector<std::u16string> lines) = 0;
    virtual void StartRotation(unsigned intervalMs) = 0;
    // "画文字 ": the text as the main line, and the karaoke sweep started.
    virtual void DrawBuffer(const std::u16string& text) = 0;
};

} // namespace plumwick
