#pragma once
// The boxes a window shows in a test, answered from a script and kept in order: both windows'
// tests answer their real windows' boxes through this, never a person.

#include <functional>
#include <vector>

#include "frontend/message_box.h"

namespace qv::test {

class ScriptedBoxes {
  public:
    // Records the box and answers it: by `answer` when set, otherwise OK.
    BoxAnswer Answer(const MessageBox& box) {
        boxes.push_back(box);
        return answer ? answer(box) : BoxAnswer::Ok;
    }

    // Every box shown so far, in order.
    std::vector<MessageBox> boxes;
    std::function<BoxAnswer(const MessageBox&)> answer;
};

}  // namespace qv::test
