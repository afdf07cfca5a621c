#include "console/failure.h"

namespace qcp {

void Raise(std::u16string_view description) { throw Failure(std::u16string(description)); }

void RaiseUnfulfilled(std::u16string_view what) { throw Unfulfilled(std::u16string(what)); }

}  // namespace qcp
