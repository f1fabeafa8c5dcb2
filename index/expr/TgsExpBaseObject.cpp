#include "index/expr/TgsExpBaseObject.h"

#include "index/expr/ExpMessages.h"

std::string TgsExpBaseObject::SubtreeText() const {
    std::string text;
    if (left_) text += left_->SubtreeText();
    text += OwnText();
    if (right_) text += right_->SubtreeText();
    return text;
}

void TgsExpBaseObject::NoteChild(const TgsExpBaseObject& child) {
    if (child.depth_ + 1 > kExpMaxDepth) throw ExpTooDeep();
    if (child.depth_ + 1 > depth_) depth_ = child.depth_ + 1;
}

void TgsExpBaseObject::SetLeft(std::unique_ptr<TgsExpBaseObject> node) {
    if (node) NoteChild(*node);
    left_ = std::move(node);
}

void TgsExpBaseObject::SetRight(std::unique_ptr<TgsExpBaseObject> node) {
    if (node) NoteChild(*node);
    right_ = std::move(node);
}
