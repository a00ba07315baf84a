#pragma once
// Intrusive reference counting for engine objects.
//
// Objects start with a count of 0 and are normally held by RefPtr, which
// retains on construction and releases on destruction. Factories wrap the
// new object in a RefPtr before running its initialiser, so an initialiser
// may hand `this` to other owners safely.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

class Ref;

// Shared between an object and its weak pointers; outlives the object while
// weak pointers remain.
struct WeakControl {
    Ref* object;
    uint32_t count; // weak pointers, plus one for the object while it lives
};

class Ref {
  public:
    Ref() = default;
    // A copy is a new object: it never inherits the original's owners.
    Ref(const Ref&) : refCount_(0) {}
    Ref& operator=(const Ref&) { return *this; }
    virtual ~Ref();

    void retain() { ++refCount_; }
    void release() {
        if (--refCount_ == 0) delete this;
    }
    uint32_t retainCount() const { return refCount_; }

    // A short text naming the object, for log lines.
    virtual std::string description() const;

    WeakControl* weakControl() const;
    // Fetches the weak pointers' block into the cache, if there is one.
    void prefetchWeakControl() const {
        if (weak_) __builtin_prefetch(weak_);
    }

  private:
    uint32_t refCount_ = 0;
    mutable WeakControl* weak_ = nullptr;
};

// How many objects of one kind are alive, kept by a member of the kind's
// base class (nodes, actions, timers, textures): tests check that a scene's
// objects are all gone once it is.
template <class Kind> class LiveCount {
  public:
    LiveCount() { ++live_; }
    LiveCount(const LiveCount&) { ++live_; }
    LiveCount& operator=(const LiveCount&) { return *this; }
    ~LiveCount() { --live_; }
    static long live() { return live_; }

  private:
    static inline long live_ = 0;
};

template <class T> class RefPtr {
  public:
    RefPtr() = default;
    RefPtr(std::nullptr_t) {}
    RefPtr(T* p) : p_(p) {
        if (p_) p_->retain();
    }
    RefPtr(const RefPtr& o) : RefPtr(o.p_) {}
    RefPtr(RefPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    template <class U> RefPtr(const RefPtr<U>& o) : RefPtr(o.get()) {}
    template <class U> RefPtr(RefPtr<U>&& o) noexcept : p_(o.detach()) {}
    ~RefPtr() {
        if (p_) p_->release();
    }

    RefPtr& operator=(const RefPtr& o) {
        RefPtr(o).swap(*this);
        return *this;
    }
    RefPtr& operator=(RefPtr&& o) noexcept {
        RefPtr(std::move(o)).swap(*this);
        return *this;
    }
    template <class U> RefPtr& operator=(const RefPtr<U>& o) {
        RefPtr(o.get()).swap(*this);
        return *this;
    }
    template <class U> RefPtr& operator=(RefPtr<U>&& o) noexcept {
        RefPtr(std::move(o)).swap(*this);
        return *this;
    }
    RefPtr& operator=(T* p) {
        RefPtr(p).swap(*this);
        return *this;
    }
    RefPtr& operator=(std::nullptr_t) {
        RefPtr().swap(*this);
        return *this;
    }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }
    operator T*() const { return p_; }

    void swap(RefPtr& o) noexcept { std::swap(p_, o.p_); }
    // Gives up ownership without releasing; the caller takes the reference.
    T* detach() { return std::exchange(p_, nullptr); }

  private:
    T* p_ = nullptr;
};

// Allocates a T and returns it owned by the caller (count 1), not yet initialised.
template <class T, class... Args> RefPtr<T> makeRef(Args&&... args) {
    return RefPtr<T>(new T(std::forward<Args>(args)...));
}

// The usual two-step construction: allocate, then run the initialiser; a
// failed initialiser gives no object.
template <class T, class Init> RefPtr<T> construct(Init&& init) {
    RefPtr<T> object = makeRef<T>();
    if (!init(*object)) return nullptr;
    return object;
}

// A link that does not keep its object alive and reads null once the object is gone.
template <class T> class WeakPtr {
  public:
    WeakPtr() = default;
    WeakPtr(T* p) : object_(p), control_(p ? p->weakControl() : nullptr) {
        if (control_) ++control_->count;
    }
    WeakPtr(const WeakPtr& o) : object_(o.object_), control_(o.control_) {
        if (control_) ++control_->count;
    }
    WeakPtr& operator=(const WeakPtr& o) {
        WeakPtr copy(o);
        std::swap(object_, copy.object_);
        std::swap(control_, copy.control_);
        return *this;
    }
    WeakPtr& operator=(T* p) { return *this = WeakPtr(p); }
    ~WeakPtr() { drop(); }

    T* get() const { return control_ && control_->object ? object_ : nullptr; }
    T* operator->() const { return get(); }
    explicit operator bool() const { return get() != nullptr; }
    RefPtr<T> lock() const { return RefPtr<T>(get()); }

  private:
    void drop() {
        if (control_ && --control_->count == 0) delete control_;
        control_ = nullptr;
        object_ = nullptr;
    }
    T* object_ = nullptr;
    WeakControl* control_ = nullptr;
};
