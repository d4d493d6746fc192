#include "core/terminal/input.hpp"

#include <algorithm>
#include <utility>

#include "core/io_error.hpp"
#include "core/terminal/raw_mode.hpp"
#include "core/terminal/size.hpp"

namespace tarvo::core::terminal {

bool wanted(const InputItem& item, Want want) noexcept {
    switch (want) {
        case Want::Event: return item.kind == InputItem::Kind::Event;
        case Want::CursorReport: return item.kind == InputItem::Kind::CursorReport;
        case Want::FlagsOrAttributes:
            return item.kind == InputItem::Kind::FlagsReport || item.kind == InputItem::Kind::DeviceAttributes;
        case Want::DeviceAttributes: return item.kind == InputItem::Kind::DeviceAttributes;
        case Want::Nothing: return false;
    }
    return false;
}

InputReader::InputReader(std::optional<EventSource> source, Hooks hooks)
    : source_(std::move(source)), hooks_(std::move(hooks)) {
    fresh_.reserve(64);
}

bool InputReader::queued_locked(Want want) const {
    return std::any_of(queue_.begin(), queue_.end(), [want](const InputItem& i) { return wanted(i, want); });
}

bool InputReader::poll(const Deadline& deadline, Want want, bool interruptible, const sigset_t* signal_mask) {
    std::unique_lock<std::timed_mutex> lock(mutex_, std::defer_lock);
    if (deadline.never) {
        lock.lock();
    } else if (!lock.try_lock_until(deadline.at)) {
        return false;
    }
    return poll_locked(deadline, want, interruptible, signal_mask);
}

bool InputReader::poll_locked(const Deadline& deadline, Want want, bool interruptible,
                              const sigset_t* signal_mask) {
    if (queued_locked(want)) return true;
    if (!source_) throw IoError::other("Failed to initialize input reader");
    while (true) {
        switch (step(deadline, want, signal_mask)) {
            case Step::Found: return true;
            case Step::Timeout: return false;
            case Step::Interrupted:
                if (interruptible) return false;
                break;
            case Step::Other: break;
        }
        if (deadline.passed()) return false;
    }
}

InputReader::Step InputReader::step(const Deadline& deadline, Want want, const sigset_t* signal_mask) {
    switch (source_->wait(deadline, signal_mask)) {
        case EventSource::Wake::Timeout: return Step::Timeout;
        case EventSource::Wake::Interrupted: return Step::Interrupted;
        case EventSource::Wake::Resize: {
            const auto [columns, rows] = hooks_.size();
            InputItem item;
            item.event = TerminalEvent::resize(columns, rows);
            queue_.push_back(std::move(item));
            return want == Want::Event ? Step::Found : Step::Other;
        }
        case EventSource::Wake::Input: break;
    }
    const std::size_t n = source_->read(buf_, kReadSize);
    if (n == 0) return Step::Other;
    fresh_.clear();
    decoder_.feed(buf_, n, n == kReadSize, hooks_.raw(), fresh_);
    bool found = false;
    for (InputItem& item : fresh_) {
        found = found || wanted(item, want);
        queue_.push_back(std::move(item));
    }
    fresh_.clear();
    return found ? Step::Found : Step::Other;
}

std::optional<InputItem> InputReader::try_take(Want want) {
    std::lock_guard<std::timed_mutex> lock(mutex_);
    const auto it = std::find_if(queue_.begin(), queue_.end(), [want](const InputItem& i) { return wanted(i, want); });
    if (it == queue_.end()) return std::nullopt;
    InputItem item = std::move(*it);
    queue_.erase(it);
    return item;
}

void InputReader::discard(Want want) {
    std::lock_guard<std::timed_mutex> lock(mutex_);
    if (source_) {
        // Take in everything the terminal has ready now, until a wait of no time finds nothing.
        const Deadline now = Deadline::after_ms(0);
        for (int reads = 0; reads < 4096; ++reads) {
            const Step s = step(now, Want::Nothing, nullptr);
            if (s == Step::Timeout || s == Step::Interrupted) break;
        }
    }
    queue_.erase(std::remove_if(queue_.begin(), queue_.end(), [want](const InputItem& i) { return wanted(i, want); }),
                 queue_.end());
}

std::size_t InputReader::queued() {
    std::lock_guard<std::timed_mutex> lock(mutex_);
    return queue_.size();
}

InputReader& input_reader() {
    static InputReader* reader = [] {
        std::optional<EventSource> source;
        try {
            source.emplace(EventSource::open());
        } catch (const IoError&) {
            // No terminal: every wait reports that the reader could not be set up.
        }
        InputReader::Hooks hooks{
            [] {
                const term::CellSize s = term::terminal_size();
                return std::pair<std::uint16_t, std::uint16_t>(s.columns, s.rows);
            },
            [] { return term::is_raw_mode_enabled(); },
        };
        return new InputReader(std::move(source), std::move(hooks));
    }();
    return *reader;
}

}  // namespace tarvo::core::terminal
