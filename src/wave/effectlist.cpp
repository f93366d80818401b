#include "wave/effectlist.h"

#include <sox.h>

#include <algorithm>

#include "wave/effectmap.h"
#include "wave/soxlib.h"

namespace NSWave {

namespace {

constexpr unsigned NotInPlace =
    SOX_EFF_RATE | SOX_EFF_CHAN | SOX_EFF_LENGTH | SOX_EFF_DEPRECATED | SOX_EFF_INTERNAL;

// Whether the effect runner passes `name` with no words to the library as
// it stands.
bool ReachesLibraryAsNamed(const std::string& name) {
    const TEffectCall call = TranslateEffect(name, {}, 1);
    return call.Name == name && call.Words.empty();
}

} // namespace

std::vector<TLibraryEffect> InPlaceEffects() {
    SoxInit();
    std::vector<TLibraryEffect> effects;
    for (const sox_effect_fn_t* fn = sox_get_effect_fns(); fn && *fn; ++fn) {
        const sox_effect_handler_t* handler = (*fn)();
        if (!handler || !handler->name || !*handler->name || (handler->flags & NotInPlace))
            continue;
        if (!ReachesLibraryAsNamed(handler->name))
            continue;
        effects.push_back({handler->name, handler->usage ? handler->usage : ""});
    }
    std::sort(effects.begin(), effects.end(),
              [](const TLibraryEffect& a, const TLibraryEffect& b) { return a.Name < b.Name; });
    return effects;
}

} // namespace NSWave
