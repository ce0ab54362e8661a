#pragma once
// The 3D marks of one station, in the order they were added, and the one
// selected mark. The station owns the list; unloading the station destroys
// every mark.
//
// Selection: selecting the selected mark does nothing; otherwise the old
// selection is drawn thin again and the mark with the identifier becomes the
// selection (drawn thick), or, when there is none, nothing is selected. A
// mark added to the list is selected that way.
//
// Window thread only (automation calls and frames).

#include <cstdint>
#include <memory>
#include <vector>

#include "measure/SX_Mark.h"

namespace measure {

class Mark3DList {
  public:
    Mark3DList();
    ~Mark3DList();
    Mark3DList(const Mark3DList&) = delete;
    Mark3DList& operator=(const Mark3DList&) = delete;

    // Appends and selects the mark; its identifier.
    std::uint32_t Add(std::unique_ptr<SX_Mark> mark);
    // Null when no mark has the identifier.
    SX_Mark* Find(std::uint32_t id) const;
    // Destroys the mark (clearing the selection first when it is selected);
    // false when there is none.
    bool Remove(std::uint32_t id);
    void Clear();
    void Select(std::uint32_t id);
    SX_Mark* Selected() const { return selected_; }
    std::size_t Count() const { return marks_.size(); }
    const std::vector<std::unique_ptr<SX_Mark>>& Marks() const { return marks_; }

    // Depth test and texturing off, then every mark in list order (the
    // context current).
    void DrawAll();

  private:
    std::vector<std::unique_ptr<SX_Mark>> marks_;
    SX_Mark* selected_ = nullptr;
};

}  // namespace measure
