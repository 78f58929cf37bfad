#include "platform/rename.hpp"
#include "platform/reason.hpp"

namespace stampwise::platform {

std::string Describe(const RenameResult& result) {
  switch (result.kind) {
    case RenameResult::Kind::kDone: return "renamed";
    case RenameResult::Kind::kTaken: return "the new name is taken";
    case RenameResult::Kind::kFailed: return Reason(result.error);
    case RenameResult::Kind::kBothNames:
      return Reason(result.error) + "; the picture now has both names, the old and the new";
  }
  return Reason(result.error);
}

}  // namespace stampwise::platform
