#pragma once
// The content cache's files in a folder of the local disk: %LOCALAPPDATA%\plumwick\cache.
#include "content/ContentCache.h"

#include <string>

namespace plumwick {

class FolderCacheStore : public CacheStore {
  public:
    // `folder` ends in its separator; it is made when the first file is written.
    explicit FolderCacheStore(std::u16string folder) : folder_(std::move(folder)) {}
    // %LOCALAPPDATA%\plumwick\cache\ (nothing when the system does not say where that is).
    static std::u16string DefaultFolder();

    std::optional<std::string> Read(const std::string& name) override;
    // Written beside and renamed over: a power cut leaves the old copy or the new, never half of one.
    bool Write(const std::string& name, const std::string& bytes) override;
    void Remove(const std::string& name) override;
    std::vector<std::string> List() override;

  private:
    std::u16string folder_;
};

} // namespace plumwick
