#include "workfolders.h"

namespace zelp {

WorkFolders &workFolders() {
    static WorkFolders folders;
    return folders;
}

} // namespace zelp
