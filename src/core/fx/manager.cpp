#include "core/fx/manager.hpp"

#include <utility>

namespace tarvo::core::fx {

Effect consume_tick() { return Effect::make<ConsumeTick>(); }

Effect EffectManager::unique(const std::string& key, Effect e) {
    auto it = keys_.find(key);
    if (it == keys_.end()) it = keys_.emplace(key, std::make_shared<KeyContext>()).first;
    // Generator draws never repeat within 2^32 draws, so a new identity never equals an old one.
    it->second->id = rng_.next();
    return Effect::make<UniqueShader>(std::move(e), it->second);
}

void EffectManager::process(std::uint32_t ms, Buffer& buf, Rect area) {
    std::vector<Effect> list = std::exchange(effects_, {});
    std::vector<Effect> kept;
    kept.reserve(list.size());
    std::size_t i = 0;
    try {
        for (; i < list.size(); ++i) {
            list[i].process(ms, buf, area);
            if (list[i].running()) kept.push_back(std::move(list[i]));
        }
    } catch (...) {
        // A failed step leaves that effect and the ones not yet stepped listed.
        for (std::size_t j = i; j < list.size(); ++j) kept.push_back(std::move(list[j]));
        effects_ = std::move(kept);
        throw;
    }
    effects_ = std::move(kept);
    for (auto it = keys_.begin(); it != keys_.end();) {
        if (it->second.use_count() == 1) it = keys_.erase(it);
        else ++it;
    }
}

}  // namespace tarvo::core::fx
