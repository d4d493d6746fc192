// Python classes over C++ values.
//
// A class is named by a tag type:
//
//   struct RectClass {
//       using Value = core::Rect;
//       static constexpr const char* name = "Rect";
//       static PyTypeObject* create();          // builds the type with ClassBuilder
//   };
//
// Optional members of a tag: `static constexpr const char* module` (default
// "tarvo_core.rust.native") and `static constexpr const char* thread_path` for classes whose
// instances are bound to the thread that created them.
//
// Every instance is {PyObject_HEAD; borrow flag; owner thread; value}. type_of<Tag>() returns the
// class object (created once per process), make<Tag>(value) a new instance, Shared<Tag> and
// Exclusive<Tag> borrow an instance's value for the length of a call.
#pragma once

#include <array>
#include <atomic>
#include <deque>
#include <functional>
#include <new>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "bindings/runtime/args.hpp"
#include "bindings/runtime/convert.hpp"
#include "bindings/runtime/error.hpp"

namespace tarvo::bindings {

inline constexpr const char* kNativeModule = "tarvo_core.rust.native";
inline constexpr const char* kEngineModule = "tarvo_core.rust.engine";

template <typename Tag>
struct Instance {
    PyObject ob_base;
    std::atomic<long> borrow;  // 0 free, > 0 shared borrows, -1 exclusively borrowed
    std::thread::id owner;
    typename Tag::Value value;
};

namespace detail {

template <typename Tag, typename = void>
struct ThreadPath {
    static constexpr const char* value = nullptr;
};
template <typename Tag>
struct ThreadPath<Tag, std::void_t<decltype(Tag::thread_path)>> {
    static constexpr const char* value = Tag::thread_path;
};
template <typename Tag, typename = void>
struct ModuleOf {
    static constexpr const char* value = kNativeModule;
};
template <typename Tag>
struct ModuleOf<Tag, std::void_t<decltype(Tag::module)>> {
    static constexpr const char* value = Tag::module;
};

template <typename Tag>
struct TypeCell {
    static inline PyTypeObject* type = nullptr;
};

// Strings and tables that live as long as the process (type objects point into them).
const char* keep(std::string s);
template <typename T>
T* keep_array(std::vector<T> items) {
    static std::deque<std::vector<T>> store;
    store.push_back(std::move(items));
    return store.back().data();
}

[[noreturn]] void raise_unsendable(const char* path);
void report_dropped_on_other_thread(const char* path);

}  // namespace detail

// The class object of Tag, created on first use. Throws PyError if it cannot be created.
template <typename Tag>
PyTypeObject* type_of() {
    auto& cell = detail::TypeCell<Tag>::type;
    if (!cell) cell = Tag::create();
    return cell;
}

template <typename Tag>
bool is_instance(PyObject* o) {
    return PyObject_TypeCheck(o, type_of<Tag>());
}

template <typename Tag>
Instance<Tag>* instance(PyObject* o) noexcept {
    return reinterpret_cast<Instance<Tag>*>(o);
}

template <typename Tag>
void check_thread(Instance<Tag>* inst) {
    if constexpr (detail::ThreadPath<Tag>::value != nullptr) {
        if (inst->owner != std::this_thread::get_id()) detail::raise_unsendable(detail::ThreadPath<Tag>::value);
    }
}

// A shared borrow of an instance's value.
template <typename Tag>
class Shared {
public:
    explicit Shared(PyObject* o) : inst_(instance<Tag>(o)) {
        check_thread(inst_);
        long cur = inst_->borrow.load(std::memory_order_relaxed);
        do {
            if (cur < 0) raise(PyExc_RuntimeError, "Already mutably borrowed");
        } while (!inst_->borrow.compare_exchange_weak(cur, cur + 1, std::memory_order_acquire));
    }
    Shared(const Shared&) = delete;
    Shared& operator=(const Shared&) = delete;
    ~Shared() { inst_->borrow.fetch_sub(1, std::memory_order_release); }
    const typename Tag::Value& operator*() const noexcept { return inst_->value; }
    const typename Tag::Value* operator->() const noexcept { return &inst_->value; }

private:
    Instance<Tag>* inst_;
};

// An exclusive borrow of an instance's value.
template <typename Tag>
class Exclusive {
public:
    explicit Exclusive(PyObject* o) : inst_(instance<Tag>(o)) {
        check_thread(inst_);
        long expected = 0;
        if (!inst_->borrow.compare_exchange_strong(expected, -1, std::memory_order_acquire))
            raise(PyExc_RuntimeError, "Already borrowed");
    }
    Exclusive(const Exclusive&) = delete;
    Exclusive& operator=(const Exclusive&) = delete;
    ~Exclusive() { inst_->borrow.store(0, std::memory_order_release); }
    typename Tag::Value& operator*() const noexcept { return inst_->value; }
    typename Tag::Value* operator->() const noexcept { return &inst_->value; }

private:
    Instance<Tag>* inst_;
};

// Allocates an instance of `type` (Tag's class or a subclass of it) holding `value`.
template <typename Tag>
PyObject* make_in(PyTypeObject* type, typename Tag::Value value) {
    auto alloc = reinterpret_cast<allocfunc>(PyType_GetSlot(type, Py_tp_alloc));
    PyObject* o = check(alloc(type, 0));
    auto* inst = instance<Tag>(o);
    new (&inst->borrow) std::atomic<long>(0);
    new (&inst->owner) std::thread::id(std::this_thread::get_id());
    new (&inst->value) typename Tag::Value(std::move(value));
    return o;
}

template <typename Tag>
PyObject* make(typename Tag::Value value) {
    return make_in<Tag>(type_of<Tag>(), std::move(value));
}

// The value of `o` (a copy, read under a shared borrow); anything that is not an instance of
// Tag's class is refused with the wrong-class TypeError.
template <typename Tag>
typename Tag::Value value_of(PyObject* o) {
    if (!is_instance<Tag>(o)) raise_wrong_class(o, Tag::name);
    Shared<Tag> b(o);
    return *b;
}

template <typename Tag>
typename Tag::Value Args::value(std::size_t i) const {
    return with_note(name(i), [&] { return value_of<Tag>(slots_[i]); });
}

template <typename Tag>
std::optional<typename Tag::Value> Args::optional_value(std::size_t i) const {
    if (!present(i)) return std::nullopt;
    return value<Tag>(i);
}

template <typename Tag>
PyObject* Args::object(std::size_t i) const {
    if (!is_instance<Tag>(slots_[i])) with_note(name(i), [&] { raise_wrong_class(slots_[i], Tag::name); });
    return slots_[i];
}

namespace detail {

inline constexpr std::size_t kMaxParams = kMaxSignatureParams;

// The signature of one registered callable. A trampoline is a function of its callable's type,
// so the signature is kept per (kind, class, callable type): `Key` is one of the keys below.
// Two registrations that reach one key (one functor type serving two method names) are
// refused: the first keeps the key and the second is reported by the module start-up.
template <typename Key>
const Signature*& signature_slot() {
    static const Signature* sig = nullptr;
    return sig;
}
template <typename Tag, typename L>
struct MethodKey {};
template <typename Tag, typename L>
struct ConstructorKey {};
template <typename L>
struct FunctionKey {};

// Sets `slot` to the signature (name, text); a slot already holding another one is left alone
// and the clash recorded as a registration problem.
void claim_signature(const Signature*& slot, std::string name, const char* text_signature);

template <typename Tag, typename L>
PyObject* call_with(PyObject* self, Args& a) {
    L fn{};
    using V = typename Tag::Value;
    if constexpr (std::is_invocable_v<L, const V&, Args&>) {
        Shared<Tag> b(self);
        return fn(*b, a);
    } else if constexpr (std::is_invocable_v<L, V&, Args&>) {
        Exclusive<Tag> b(self);
        return fn(*b, a);
    } else if constexpr (std::is_invocable_v<L, const V&>) {
        Shared<Tag> b(self);
        return fn(*b);
    } else if constexpr (std::is_invocable_v<L, V&>) {
        Exclusive<Tag> b(self);
        return fn(*b);
    } else if constexpr (std::is_invocable_v<L, PyObject*, Args&>) {
        return fn(self, a);
    } else {
        static_assert(std::is_invocable_v<L, Args&>, "unsupported method signature");
        return fn(a);
    }
}

template <typename Tag, typename L>
PyObject* method_trampoline(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return guard([&]() -> PyObject* {
        const Signature& sig = *signature_slot<MethodKey<Tag, L>>();
        std::array<PyObject*, kMaxParams> slots{};
        sig.match(args, nargs, kwnames, slots.data());
        Args a(sig, slots.data());
        return call_with<Tag, L>(self, a);
    });
}

template <typename Tag, typename L>
PyObject* getter_trampoline(PyObject* self, void*) {
    return guard([&]() -> PyObject* {
        Shared<Tag> b(self);
        return L{}(*b);
    });
}

template <typename Tag, typename L>
PyObject* text_trampoline(PyObject* self) {
    return guard([&]() -> PyObject* {
        Shared<Tag> b(self);
        return to_py(std::string_view(L{}(*b)));
    });
}

template <typename Tag, typename L>
PyObject* new_trampoline(PyTypeObject* subtype, PyObject* args, PyObject* kwargs) {
    return guard([&]() -> PyObject* {
        const Signature& sig = *signature_slot<ConstructorKey<Tag, L>>();
        std::array<PyObject*, kMaxParams> slots{};
        sig.match_tuple(args, kwargs, slots.data());
        Args a(sig, slots.data());
        return make_in<Tag>(subtype, L{}(a));
    });
}

template <typename Tag>
void dealloc(PyObject* self) {
    auto* inst = instance<Tag>(self);
    PyTypeObject* type = Py_TYPE(self);
    if constexpr (ThreadPath<Tag>::value != nullptr) {
        if (inst->owner != std::this_thread::get_id()) {
            report_dropped_on_other_thread(ThreadPath<Tag>::value);
            return;  // not freed: its value belongs to another thread
        }
    }
    using V = typename Tag::Value;
    inst->value.~V();
    auto free_fn = reinterpret_cast<freefunc>(PyType_GetSlot(type, Py_tp_free));
    free_fn(self);
    Py_DECREF(type);
}

}  // namespace detail

// The method definition of an instance method of Tag's class (see ClassBuilder::method), for
// methods that one file adds to a class that another file builds.
template <typename Tag, typename L>
PyMethodDef method_def(const char* name, const char* text_signature, L, int extra_flags = 0, const char* doc = "") {
    detail::claim_signature(detail::signature_slot<detail::MethodKey<Tag, L>>(), std::string(Tag::name) + "." + name,
                            text_signature);
    return PyMethodDef{detail::keep(name),
                       reinterpret_cast<PyCFunction>(
                           reinterpret_cast<void (*)()>(&detail::method_trampoline<Tag, L>)),
                       METH_FASTCALL | METH_KEYWORDS | extra_flags,
                       detail::keep(std::string(name) + text_signature + "\n--\n\n" + doc)};
}

// Builds a heap type for Tag: methods, getters, slots, class attributes. See the file comment.
template <typename Tag>
class ClassBuilder {
public:
    using Value = typename Tag::Value;

    ClassBuilder() : module_(detail::ModuleOf<Tag>::value) {
        slots_.push_back({Py_tp_dealloc, reinterpret_cast<void*>(&detail::dealloc<Tag>)});
    }

    // A constructor: `fn(Args&) -> Value`, with the text signature "(x=0, y=0)"; `doc` follows
    // the signature in the class documentation.
    template <typename L>
    ClassBuilder& constructor(const char* text_signature, L, const char* doc = "") {
        detail::claim_signature(detail::signature_slot<detail::ConstructorKey<Tag, L>>(), Tag::name, text_signature);
        slots_.push_back({Py_tp_new, reinterpret_cast<void*>(&detail::new_trampoline<Tag, L>)});
        doc_ = std::string(Tag::name) + text_signature + "\n--\n\n" + doc;
        has_constructor_ = true;
        return *this;
    }

    ClassBuilder& doc(const char* text) {
        doc_ = text;
        return *this;
    }

    // An instance method. `fn` takes (const Value&[, Args&]) for a shared borrow, (Value&[, Args&])
    // for an exclusive one, or (PyObject* self, Args&) for the raw object. `text_signature` is
    // the parameter list as the interpreter prints it, "($self, margin)"; `doc` follows it in
    // the method's documentation.
    template <typename L>
    ClassBuilder& method(const char* name, const char* text_signature, L, const char* doc = "") {
        add_method<L>(name, text_signature, 0, doc);
        return *this;
    }

    // A static method: `fn(Args&) -> PyObject*`.
    template <typename L>
    ClassBuilder& static_method(const char* name, const char* text_signature, L, const char* doc = "") {
        add_method<L>(name, text_signature, METH_STATIC, doc);
        return *this;
    }

    // A read-only attribute: `fn(const Value&) -> PyObject*`.
    template <typename L>
    ClassBuilder& getter(const char* name, L) {
        getsets_.push_back({detail::keep(name), &detail::getter_trampoline<Tag, L>, nullptr, nullptr, nullptr});
        return *this;
    }

    // repr / str from `fn(const Value&) -> std::string`.
    template <typename L>
    ClassBuilder& repr(L) {
        return slot(Py_tp_repr, &detail::text_trampoline<Tag, L>);
    }
    template <typename L>
    ClassBuilder& str(L) {
        return slot(Py_tp_str, &detail::text_trampoline<Tag, L>);
    }

    // Any other slot, as a C function.
    template <typename F>
    ClassBuilder& slot(int id, F* fn) {
        slots_.push_back({id, reinterpret_cast<void*>(fn)});
        return *this;
    }

    // A class attribute, evaluated once right after the class is created (so it may build
    // instances of the class itself), in the order declared.
    ClassBuilder& class_attr(const char* name, std::function<PyObject*()> make_value) {
        attrs_.push_back({name, std::move(make_value)});
        return *this;
    }

    // A method defined elsewhere (see method_def).
    ClassBuilder& raw_method(const PyMethodDef& def) {
        methods_.push_back(def);
        return *this;
    }

    ClassBuilder& subclassable() {
        flags_ |= Py_TPFLAGS_BASETYPE;
        return *this;
    }
    ClassBuilder& base(PyTypeObject* b) {
        base_ = b;
        return *this;
    }

    PyTypeObject* build() {
        if (!has_constructor_) flags_ |= Py_TPFLAGS_DISALLOW_INSTANTIATION;
        if (!doc_.empty()) slots_.push_back({Py_tp_doc, const_cast<char*>(detail::keep(doc_))});
        if (!methods_.empty()) {
            methods_.push_back({nullptr, nullptr, 0, nullptr});
            slots_.push_back({Py_tp_methods, detail::keep_array(std::move(methods_))});
        }
        if (!getsets_.empty()) {
            getsets_.push_back({nullptr, nullptr, nullptr, nullptr, nullptr});
            slots_.push_back({Py_tp_getset, detail::keep_array(std::move(getsets_))});
        }
        slots_.push_back({0, nullptr});
        auto* spec = new PyType_Spec{detail::keep(std::string(module_) + "." + Tag::name),
                                     static_cast<int>(sizeof(Instance<Tag>)), 0, flags_,
                                     detail::keep_array(std::move(slots_))};
        PyObject* bases = nullptr;
        if (base_) bases = check(PyTuple_Pack(1, reinterpret_cast<PyObject*>(base_)));
        PyObject* type = PyType_FromSpecWithBases(spec, bases);
        Py_XDECREF(bases);
        if (!type) class_init_failed();
        // Publish before evaluating class attributes: they may build instances of this class.
        detail::TypeCell<Tag>::type = reinterpret_cast<PyTypeObject*>(type);
        for (auto& [name, make_value] : attrs_) {
            try {
                Ref v = Ref::steal(make_value());
                if (PyObject_SetAttrString(type, name, v.get()) != 0) throw PyError{};
            } catch (...) {
                translate_current_exception();
                detail::TypeCell<Tag>::type = nullptr;
                Py_DECREF(type);
                class_init_failed();
            }
        }
        return reinterpret_cast<PyTypeObject*>(type);
    }

private:
    template <typename L>
    void add_method(const char* name, const char* text_signature, int extra_flags, const char* doc) {
        methods_.push_back(method_def<Tag>(name, text_signature, L{}, extra_flags, doc));
    }

    [[noreturn]] void class_init_failed() {
        // "An error occurred while initializing class {}", caused by the underlying error.
        PyObject *type = nullptr, *value = nullptr, *tb = nullptr;
        PyErr_Fetch(&type, &value, &tb);
        PyErr_NormalizeException(&type, &value, &tb);
        std::string msg = std::string("An error occurred while initializing class ") + Tag::name;
        PyObject* err = PyObject_CallFunction(PyExc_RuntimeError, "s", msg.c_str());
        if (err && value) PyException_SetCause(err, value);  // steals value
        else Py_XDECREF(value);
        Py_XDECREF(type);
        Py_XDECREF(tb);
        if (err) {
            PyErr_SetObject(PyExc_RuntimeError, err);
            Py_DECREF(err);
        }
        throw PyError{};
    }

    const char* module_;
    std::string doc_;
    bool has_constructor_ = false;
    unsigned int flags_ = Py_TPFLAGS_DEFAULT;
    PyTypeObject* base_ = nullptr;
    std::vector<PyType_Slot> slots_;
    std::vector<PyMethodDef> methods_;
    std::vector<PyGetSetDef> getsets_;
    std::vector<std::pair<const char*, std::function<PyObject*()>>> attrs_;
};

}  // namespace tarvo::bindings
