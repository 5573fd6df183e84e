#pragma once
// The props the local table server sells: IDs 1 to kPropCount. The names and
// notes go into the note file the client reads; the server uses the same IDs.

#include <string_view>

namespace krvo::assets {

struct PropInfo {
    int id;
    std::string_view name;  // UTF-8
    std::string_view note;  // UTF-8
    bool onSelf;            // used on oneself rather than on another player
};

// The entry for an ID 1..kPropCount, or nullptr.
const PropInfo* FindProp(int id);

}  // namespace krvo::assets
