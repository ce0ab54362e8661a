#include "control/SX_HostContainer.h"

#include <utility>

SX_HostContainer::SX_HostContainer(std::u16string baseLocation, LinkOpener opener)
    : base_(std::move(baseLocation)), opener_(std::move(opener)) {}

bool SX_HostContainer::OpenLink(const std::u16string& url, const std::u16string& target) {
    return opener_ ? opener_(url, target) : false;
}
