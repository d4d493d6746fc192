// A small extension module, built only with the tests, that drives the binding toolkit through
// cases the real module never produces: flag classes of every shape, waits with the interpreter
// lock released, I/O errors thrown from the core, enumeration numbers outside their variants and
// registrations that disagree with the module's rows (which the real start-up refuses; here
// they are only listed, by `problems()`).
#include <poll.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/runtime/enums.hpp"
#include "bindings/runtime/flags.hpp"
#include "bindings/runtime/gil.hpp"
#include "bindings/runtime/registry.hpp"
#include "core/buffer_loan.hpp"
#include "core/io_error.hpp"

namespace tarvo::bindings {
namespace {

constexpr const char* kProbeModule = "_toolkit_probe";

struct ProbeFlagsClass {  // every flag feature: bits, |, &, contains within 0x7, tests
    using Value = std::uint8_t;
    static constexpr const char* name = "ProbeFlags";
    static constexpr const char* module = kProbeModule;
    static constexpr std::array<Flag<std::uint8_t>, 4> flags{{{"NONE", 0}, {"A", 1}, {"B", 2}, {"C", 4}}};
    static PyTypeObject* create() {
        return FlagClassBuilder<ProbeFlagsClass>()
            .bits_getter()
            .union_operator()
            .intersection_operator()
            .contains<0x7>()
            .test<1>("a")
            .test<4>("c")
            .build();
    }
};

std::string sides_text(std::uint16_t bits) { return bits == 0 ? "NOTHING" : "SOME"; }

struct ProbeMaskedClass {  // a union kept to 0x3 and a repr of its own; nothing else
    using Value = std::uint16_t;
    static constexpr const char* name = "ProbeMasked";
    static constexpr const char* module = kProbeModule;
    static constexpr std::array<Flag<std::uint16_t>, 3> flags{{{"LOW", 1}, {"HIGH", 2}, {"OUTSIDE", 0x100}}};
    static PyTypeObject* create() {
        return FlagClassBuilder<ProbeMaskedClass, &sides_text>().union_operator<0x3>().build();
    }
};

// Waits up to `timeout_ms` for `fd` to become readable, the interpreter lock released; a
// signal ends the wait early and its Python handler runs afterwards.
PyObject* probe_wait_readable(Args& a) {
    const int fd = a.get<std::int32_t>(0);
    const int timeout = a.get<std::int32_t>(1);
    const int rc = without_gil([&] {
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, timeout);
        if (r < 0 && errno != EINTR) throw core::IoError::last_os_error();
        return r;
    });
    check_signals();
    return to_py(rc > 0);
}

PyObject* fail_os(Args& a) { throw core::IoError::os(a.get<std::int32_t>(0)); }
PyObject* fail_message(Args& a) { throw core::IoError::other(a.get<std::string>(0)); }

struct ProbeEnumClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "ProbeEnum";
    static constexpr const char* module = kProbeModule;
    static constexpr std::array<const char*, 3> variants{"Zero", "One", "Two"};
    static PyTypeObject* create() { return create_enum<ProbeEnumClass>(); }
};

// One functor type registered under two method names: a registration problem.
struct SameCallable {
    PyObject* operator()(const std::uint8_t&, Args& a) const { return to_py(static_cast<std::uint64_t>(a.size())); }
};
struct ProbeClashClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "ProbeClash";
    static constexpr const char* module = kProbeModule;
    static PyTypeObject* create() {
        return ClassBuilder<ProbeClashClass>()
            .method("first", "($self)", SameCallable{})
            .method("second", "($self, x)", SameCallable{})
            .class_attr("ONE", [] { return make<ProbeClashClass>(1); })
            .build();
    }
};

struct ProbeUnlistedClass {  // registered, but in no row
    using Value = std::uint8_t;
    static constexpr const char* name = "ProbeUnlisted";
    static constexpr const char* module = kProbeModule;
    static PyTypeObject* create() { return ClassBuilder<ProbeUnlistedClass>().build(); }
};

struct ProbeElsewhereClass {  // a class of another module, listed in this one
    using Value = std::uint8_t;
    static constexpr const char* name = "ProbeElsewhere";
    static constexpr const char* module = kEngineModule;
    static PyTypeObject* create() { return ClassBuilder<ProbeElsewhereClass>().build(); }
};

std::vector<std::string_view> views_of(Args& a, std::size_t i, std::vector<std::string>& store) {
    store = sequence_to_vector<std::string>(a[i]);
    return {store.begin(), store.end()};
}

std::vector<std::string> probe_check() { return {"the probe's own start-up check ran"}; }
[[maybe_unused]] const bool probe_checked = register_startup_check(&probe_check);

using namespace rows;

const std::vector<Row>& probe_rows() {
    static const std::vector<Row> list = {
        C("ProbeFlags"), P(C("ProbeMasked")), C("ProbeEnum"), C("ProbeClash"), C("ProbeMissing"),
        P(C("ProbeLater", "(x=0)", "Comes later.")), P(C("ProbeLaterFixed")), F("wait_readable", "(fd, timeout_ms)"),
        F("fail_os", "(code)"), F("fail_message", "(text)"), F("lend_twice", "()"), F("variant", "(n)"), F("raw_variant", "(n)"),
        F("problems", "()"), F("check", "()"), F("order_problems", "(what, order, registered)"),
        P(F("later_function", "(a, b=1)", "Comes later too.")), F("missing_function", "()"), C("ProbeFlags"),
        C("ProbeElsewhere"),
    };
    return list;
}

}  // namespace

TARVO_REGISTER_CLASS(ProbeFlagsClass);
TARVO_REGISTER_CLASS(ProbeMaskedClass);
TARVO_REGISTER_CLASS(ProbeEnumClass);
TARVO_REGISTER_CLASS(ProbeClashClass);
TARVO_REGISTER_CLASS(ProbeUnlistedClass);
TARVO_REGISTER_CLASS(ProbeElsewhereClass);
[[maybe_unused]] static const bool flags_again = register_class("ProbeFlags", &type_of<ProbeFlagsClass>);

TARVO_FUNCTION(wait_readable, "(fd, timeout_ms)", [](Args& a) { return probe_wait_readable(a); });
TARVO_FUNCTION(fail_os, "(code)", [](Args& a) { return fail_os(a); });
TARVO_FUNCTION(fail_message, "(text)", [](Args& a) { return fail_message(a); });
TARVO_FUNCTION(lend_twice, "()", [](Args&) -> PyObject* {
    core::LendableBuffer frame;
    auto loan = frame.lend();
    frame.change();
    return none();
});
TARVO_FUNCTION(variant, "(n)", [](Args& a) { return enum_variant<ProbeEnumClass>(a.get<std::uint8_t>(0)); });
TARVO_FUNCTION(raw_variant, "(n)", [](Args& a) { return make<ProbeEnumClass>(a.get<std::uint8_t>(0)); });
TARVO_FUNCTION(problems, "()", [](Args&) {
    const std::vector<std::string> list = startup_problems({&probe_rows()});
    return list_of(list, [](const std::string& p) { return to_py(std::string_view(p)); });
});
TARVO_FUNCTION(check, "()", [](Args&) {
    check_startup({&probe_rows()});
    return none();
});
TARVO_FUNCTION(order_problems, "(what, order, registered)", [](Args& a) {
    std::vector<std::string> order_store, registered_store;
    const auto order = views_of(a, 1, order_store);
    const auto registered = views_of(a, 2, registered_store);
    const std::vector<std::string> list = order_problems(a.get<std::string>(0), order, registered);
    return list_of(list, [](const std::string& p) { return to_py(std::string_view(p)); });
});
[[maybe_unused]] static const bool fail_os_again =
    register_function("fail_os", detail::function_def("fail_os", "()", "", [](Args&) { return none(); }));

namespace {

int exec_probe(PyObject* module) {
    return guard(
        [&]() -> int {
            add_rows(module, probe_rows(), kProbeModule);
            return 0;
        },
        -1);
}

PyModuleDef_Slot probe_slots[] = {{Py_mod_exec, reinterpret_cast<void*>(&exec_probe)}, {0, nullptr}};
PyModuleDef probe_def = {PyModuleDef_HEAD_INIT, kProbeModule, "", 0, nullptr, probe_slots, nullptr, nullptr, nullptr};

}  // namespace
}  // namespace tarvo::bindings

extern "C" __attribute__((visibility("default"))) PyObject* PyInit__toolkit_probe() {
    return PyModuleDef_Init(&tarvo::bindings::probe_def);
}
