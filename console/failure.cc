#include "console/failure.h"

namespace qcp {

void Raise(std::u16string_view description) { throw Failure(std::u16string(description)); }

}  // namespace qcp
