#include "control/HostContainer.h"

#include <utility>

control::HostContainer::HostContainer(std::u16string baseLocation, LinkOpener opener)
    : base_(std::move(baseLocation)), opener_(std::move(opener)) {}

bool control::HostContainer::OpenLink(const std::u16string& url, const std::u16string& target) {
    return opener_ ? opener_(url, target) : false;
}
