#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace zz {

// A piece of state that front ends render: setting a different value notifies every observer.
template <class T>
class Value {
public:
    using Observer = std::function<void(const T&)>;

    Value() = default;
    explicit Value(T initial) : value_(std::move(initial)) {}
    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;

    const T& get() const { return value_; }
    operator const T&() const { return value_; }

    void set(const T& value) {
        if (value == value_)
            return;
        value_ = value;
        for (auto& observer : observers_)
            observer(value_);
    }
    Value& operator=(const T& value) {
        set(value);
        return *this;
    }

    void observe(Observer observer) { observers_.push_back(std::move(observer)); }

private:
    T value_{};
    std::vector<Observer> observers_;
};

// An option of the window: a check mark (menu item or check box) and whether it can be used.
struct Flag {
    explicit Flag(bool checked_initially = false) : checked(checked_initially), enabled(true) {}
    Value<bool> checked;
    Value<bool> enabled;

    operator bool() const { return checked.get(); }
    void toggle() { checked.set(!checked.get()); }
};

} // namespace zz
