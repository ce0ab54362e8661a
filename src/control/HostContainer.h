#pragma once
// The browser container: what the hosting page tells the control about
// itself. Its base location is the page's folder: a "file://" URL for a local
// page (as a browser gives it) or the http URL of the page's web folder. The
// link hook opens a link in a target frame ("_self", "_blank", ...).
#include <functional>
#include <string>
#include <string_view>

namespace control {

class HostContainer {
  public:
    using LinkOpener = std::function<bool(const std::u16string& url, const std::u16string& target)>;

    explicit HostContainer(std::u16string baseLocation, LinkOpener opener = nullptr);
    virtual ~HostContainer() = default;
    HostContainer(const HostContainer&) = delete;
    HostContainer& operator=(const HostContainer&) = delete;

    const std::u16string& BaseLocation() const { return base_; }
    // Opens the link in the target; false when there is no hook or it failed.
    virtual bool OpenLink(const std::u16string& url, const std::u16string& target);

  private:
    std::u16string base_;
    LinkOpener opener_;
};

}  // namespace control
