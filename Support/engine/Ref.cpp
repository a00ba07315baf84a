#include "engine/Ref.h"

#include "platform/Log.h"

#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

Ref::~Ref() {
    if (weak_) {
        weak_->object = nullptr;
        if (--weak_->count == 0) delete weak_;
    }
}

WeakControl* Ref::weakControl() const {
    if (!weak_) weak_ = new WeakControl{const_cast<Ref*>(this), 1};
    return weak_;
}

std::string Ref::description() const {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(typeid(*this).name(), nullptr, nullptr, &status), std::free);
    return platform::ccFormat("<%s = %p>", status == 0 && name ? name.get() : typeid(*this).name(),
                              static_cast<const void*>(this));
}
