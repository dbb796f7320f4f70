#include "actions/standing.h"

namespace vindrel {

Standing Standings::Of(Hwnd window) {
    Standing standing;
    const std::optional<Pid> owner = WindowOwner(ws_, window);
    const Pid self = ws_.GetCurrentProcessId();
    if (!owner || *owner == self) return standing;
    standing.theirs = rights_.IntegrityLevel(*owner);
    standing.ours = rights_.IntegrityLevel(self);
    if (!standing.theirs || !standing.ours) {
        standing.kind = Standing::Kind::Unknown;
    } else if (*standing.theirs <= *standing.ours) {
        return standing;
    } else {
        standing.kind = *standing.theirs > kAdministratorLevel ? Standing::Kind::BeyondAdministrator
                                                               : Standing::Kind::Above;
    }
    standing.elevated = rights_.Elevated();
    return standing;
}

}  // namespace vindrel
