// A small extension module, built only with the tests, that drives the binding toolkit through
// cases the real module never produces: flag classes of every shape, waits with the interpreter
// lock released, I/O errors thrown from the core.
#include <poll.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <string>

#include "bindings/runtime/enums.hpp"
#include "bindings/runtime/flags.hpp"
#include "bindings/runtime/gil.hpp"
#include "bindings/runtime/registry.hpp"
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
PyObject* wait_readable(Args& a) {
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

PyMethodDef* probe_functions() {
    static PyMethodDef defs[] = {
        *detail::function_def("wait_readable", "(fd, timeout_ms)", "", [](Args& a) { return wait_readable(a); }),
        *detail::function_def("fail_os", "(code)", "", [](Args& a) { return fail_os(a); }),
        *detail::function_def("fail_message", "(text)", "", [](Args& a) { return fail_message(a); }),
        {nullptr, nullptr, 0, nullptr},
    };
    return defs;
}

int exec_probe(PyObject* module) {
    return guard(
        [&]() -> int {
            for (PyTypeObject* t : {type_of<ProbeFlagsClass>(), type_of<ProbeMaskedClass>()}) {
                Ref name = Ref::steal(check(PyObject_GetAttrString(reinterpret_cast<PyObject*>(t), "__name__")));
                if (PyObject_SetAttr(module, name.get(), reinterpret_cast<PyObject*>(t)) != 0) throw PyError{};
            }
            if (PyModule_AddFunctions(module, probe_functions()) != 0) throw PyError{};
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
