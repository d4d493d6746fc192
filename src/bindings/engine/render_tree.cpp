// CoreRenderNode: the keyword constructor with its conversions, the row / column / leaf /
// stack shorthands and the read-only accessors.

#include "bindings/engine/render_tree.hpp"

#include <memory>
#include <utility>
#include <vector>

#include "bindings/engine/content_bridge.hpp"
#include "bindings/geometry.hpp"
#include "bindings/layout.hpp"
#include "bindings/layout_enums.hpp"
#include "bindings/runtime/registry.hpp"

namespace tarvo::bindings {

namespace {

using core::engine::NodePtr;
using core::engine::RenderNode;

std::vector<core::Constraint> constraints_of(PyObject* o) {
    struct Elem {
        static core::Constraint from(PyObject* c) { return value_of<ConstraintClass>(c); }
    };
    return sequence_to_vector<core::Constraint, Elem>(o);
}

std::vector<NodePtr> children_of(PyObject* o) {
    struct Elem {
        static NodePtr from(PyObject* c) { return value_of<CoreRenderNodeClass>(c); }
    };
    return sequence_to_vector<NodePtr, Elem>(o);
}

std::vector<core::Constraint> constraints_arg(const Args& a, std::size_t i) {
    if (!a.present(i)) return {};
    return with_note(a.name(i), [&] { return constraints_of(a[i]); });
}

std::vector<NodePtr> children_arg(const Args& a, std::size_t i) {
    if (!a.present(i)) return {};
    return with_note(a.name(i), [&] { return children_of(a[i]); });
}

std::optional<core::Direction> direction_arg(const Args& a, std::size_t i) {
    auto d = a.optional_value<DirectionClass>(i);
    if (!d) return std::nullopt;
    return static_cast<core::Direction>(*d);
}

PyObject* node_object(RenderNode node) { return make<CoreRenderNodeClass>(std::make_shared<const RenderNode>(std::move(node))); }

// CoreRenderNode(*, x, y, width, height, direction, gap, constraints, margin, content,
// cursor_hint, effect_key, z, visible, children)
NodePtr construct(Args& a) {
    RenderNode n;
    n.x = a.get_or<std::optional<std::uint16_t>>(0, std::nullopt);
    n.y = a.get_or<std::optional<std::uint16_t>>(1, std::nullopt);
    n.width = a.get_or<std::optional<std::uint16_t>>(2, std::nullopt);
    n.height = a.get_or<std::optional<std::uint16_t>>(3, std::nullopt);
    n.direction = direction_arg(a, 4);
    n.gap = a.get_or<std::uint16_t>(5, 0);
    n.constraints = constraints_arg(a, 6);
    n.margin = a.optional_value<MarginClass>(7);
    if (a.present(8)) n.content = a.value<CoreRenderContentClass>(8);
    if (a.present(9)) {
        n.cursor_hint = with_note(a.name(9), [&] {
            const std::vector<PyObject*> xy = tuple_items_exact(a[9], 2);
            return core::Position{Convert<std::uint16_t>::from(xy[0]), Convert<std::uint16_t>::from(xy[1])};
        });
    }
    n.effect_key = a.get_or<std::optional<std::string>>(10, std::nullopt);
    n.z = a.get_or<std::int32_t>(11, 0);
    n.visible = a.get_or<bool>(12, true);
    n.children = children_arg(a, 13);
    return std::make_shared<const RenderNode>(std::move(n));
}

PyObject* split_node(Args& a, core::Direction direction) {
    RenderNode n;
    n.children = with_note(a.name(0), [&] { return children_of(a[0]); });
    n.constraints = constraints_arg(a, 1);
    n.gap = a.get_or<std::uint16_t>(2, 0);
    n.margin = a.optional_value<MarginClass>(3);
    n.direction = direction;
    return node_object(std::move(n));
}

}  // namespace

PyTypeObject* CoreRenderNodeClass::create() {
    return ClassBuilder<CoreRenderNodeClass>()
        .constructor("(*, x=None, y=None, width=None, height=None, direction=None, gap=0, constraints=None, "
                     "margin=None, content=None, cursor_hint=None, effect_key=None, z=0, visible=True, children=None)",
                     [](Args& a) { return construct(a); })
        .static_method("row", "(children, *, constraints=None, gap=0, margin=None)",
                       [](Args& a) { return split_node(a, core::Direction::Horizontal); })
        .static_method("column", "(children, *, constraints=None, gap=0, margin=None)",
                       [](Args& a) { return split_node(a, core::Direction::Vertical); })
        .static_method("leaf", "(content)",
                       [](Args& a) {
                           RenderNode n;
                           n.content = a.value<CoreRenderContentClass>(0);
                           return node_object(std::move(n));
                       })
        .static_method("stack", "(x, y, width, height, children)",
                       [](Args& a) {
                           RenderNode n;
                           n.x = a.get<std::uint16_t>(0);
                           n.y = a.get<std::uint16_t>(1);
                           n.width = a.get<std::uint16_t>(2);
                           n.height = a.get<std::uint16_t>(3);
                           n.children = with_note(a.name(4), [&] { return children_of(a[4]); });
                           return node_object(std::move(n));
                       })
        .method("get_children", "($self)",
                [](const NodePtr& n) {
                    return list_of(n->children, [](const NodePtr& c) { return make<CoreRenderNodeClass>(c); });
                })
        .method("get_content", "($self)", [](const NodePtr& n) { return make<CoreRenderContentClass>(n->content); })
        .method("get_effect_key", "($self)",
                [](const NodePtr& n) { return n->effect_key ? to_py(*n->effect_key) : none(); })
        .method("get_z", "($self)", [](const NodePtr& n) { return to_py(n->z); })
        .method("is_visible", "($self)", [](const NodePtr& n) { return to_py(n->visible); })
        .method("has_absolute_geometry", "($self)", [](const NodePtr& n) { return to_py(n->has_absolute_geometry()); })
        .build();
}

TARVO_REGISTER_CLASS(CoreRenderNodeClass);

}  // namespace tarvo::bindings
