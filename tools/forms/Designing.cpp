#include "tools/forms/Designing.h"

namespace vigrel {

void SetDesigning(TComponent& root, bool designing) {
    if (designing) {
        root.state_.Include(csDesigning);
    } else {
        root.state_.Exclude(csDesigning);
    }
    for (const auto& component : root.components_) {
        SetDesigning(*component, designing);
    }
}

} // namespace vigrel
