#pragma once

#include "link/port.h"

#include <map>
#include <string>
#include <vector>

namespace zz::test {

// A port that reaches one of several ports by its name, as a real system reaches /dev/ttyUSB0 or
// /dev/ttyUSB1; names it does not know cannot be opened. Keeps the names it opened.
class RoutedPort : public Port {
public:
    void add(const std::string& name, Port& port) {
        ports_[name] = &port;
        port.on_receive([this, &port](std::span<const std::uint8_t> bytes) {
            if (current() == &port)
                deliver(bytes);
        });
        port.on_lost([this, &port] {
            if (current() == &port)
                report_lost();
        });
    }
    void open() override {
        Port* p = current();
        if (!p)
            throw CommError(comm_error::kOpenFailed);
        p->set_properties(properties_);
        p->open();
        opened.push_back(name_);
    }
    void close() override {
        for (auto& [name, p] : ports_)
            p->close();
    }
    bool is_open() const override {
        auto it = ports_.find(name_);
        return it != ports_.end() && it->second->is_open();
    }
    bool lost() const override {
        const Port* p = current();
        return p && p->lost();
    }
    bool write(std::span<const std::uint8_t> bytes) override {
        Port* p = current();
        return p && p->write(bytes);
    }
    void set_properties(const CommProperties& properties) override {
        properties_ = properties;
        if (Port* p = current())
            p->set_properties(properties);
    }
    const CommProperties& properties() const override { return properties_; }
    void set_name(const std::string& name) override { name_ = name; }
    const std::string& name() const override { return name_; }

    std::vector<std::string> opened;

private:
    Port* current() const {
        auto it = ports_.find(name_);
        return it == ports_.end() ? nullptr : it->second;
    }
    std::map<std::string, Port*> ports_;
    CommProperties properties_;
    std::string name_ = "COM1";
};

} // namespace zz::test
