// Holds a lock for the life of a scope, given the functions that take it
// and give it back.
#pragma once

namespace radovl::platform {

template <void (*Take)(), void (*Give)()>
class Held {
public:
    Held() { Take(); }
    ~Held() { Give(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
};

}  // namespace radovl::platform
