#pragma once
// The text of a document: a byte string with spare room before and after it, so that a
// splice moves whichever side of the cut is shorter. Records are inserted at the top of
// large files; with room in front, that moves a few bytes instead of the whole file.

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace tarnix {

class TextBuffer {
  public:
    const char* data() const { return buffer_.data() + front_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    char operator[](size_t i) const { return data()[i]; }
    operator std::string_view() const { return {data(), size_}; }

    // Exactly the given bytes, without spare room (it comes with the first insertion).
    void assign(std::string_view text) {
        std::string copy(text);  // `text` may point into this buffer
        adopt(std::move(copy));
    }
    void adopt(std::string&& text) { adopt(std::move(text), 0); }
    // The text lies in buffer[room, buffer.size() - room); the rest is spare room.
    void adopt(std::string&& buffer, size_t room) {
        buffer_ = std::move(buffer);
        front_ = room;
        size_ = buffer_.size() - 2 * room;
    }

    // Replaces [pos, pos + length) with `insert` (which must not point into this buffer).
    void replace(size_t pos, size_t length, std::string_view insert) {
        const size_t head = pos, tail = size_ - pos - length;
        const size_t back = buffer_.size() - front_ - size_;
        char* base = buffer_.data();
        if (insert.size() <= length) {  // shrinking: close the gap from the shorter side
            const size_t gap = length - insert.size();
            if (head < tail) {
                std::memmove(base + front_ + gap, base + front_, head);
                front_ += gap;
            } else {
                std::memmove(base + front_ + pos + insert.size(), base + front_ + pos + length,
                             tail);
            }
        } else {
            const size_t grow = insert.size() - length;
            if (head <= tail && front_ >= grow) {
                std::memmove(base + front_ - grow, base + front_, head);
                front_ -= grow;
            } else if (back >= grow) {
                std::memmove(base + front_ + pos + insert.size(), base + front_ + pos + length,
                             tail);
            } else if (front_ >= grow) {
                std::memmove(base + front_ - grow, base + front_, head);
                front_ -= grow;
            } else {
                reallocate(pos, length, insert);
                return;
            }
        }
        size_ = size_ - length + insert.size();
        if (!insert.empty())
            std::memcpy(buffer_.data() + front_ + pos, insert.data(), insert.size());
    }

  private:
    // A new buffer with room at both ends, in proportion to the text.
    void reallocate(size_t pos, size_t length, std::string_view insert) {
        const size_t newSize = size_ - length + insert.size();
        const size_t room = newSize / 16 + 256;
        std::string fresh(room + newSize + room, '\0');
        char* out = fresh.data() + room;
        std::memcpy(out, data(), pos);
        if (!insert.empty()) std::memcpy(out + pos, insert.data(), insert.size());
        std::memcpy(out + pos + insert.size(), data() + pos + length, size_ - pos - length);
        buffer_ = std::move(fresh);
        front_ = room;
        size_ = newSize;
    }

    std::string buffer_;
    size_t front_ = 0;  // text starts at buffer_[front_]
    size_t size_ = 0;
};

}  // namespace tarnix
