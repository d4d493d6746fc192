// The render tree and its walk: nodes that say where they go (a share of the parent's area or
// an absolute rectangle), what they draw, how their children are laid out and stacked, and
// where they want the cursor. The walk draws a tree into a buffer for one frame.
//
// Trees are immutable once built: nodes are shared between trees (and with the objects that
// built them) through shared pointers to const, never copied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/buffer.hpp"
#include "core/buffer_loan.hpp"
#include "core/engine/ir.hpp"
#include "core/geometry.hpp"
#include "core/layout.hpp"

namespace tarvo::core::engine {

// What a node draws. The core draws IR values itself; every other kind holds objects that only
// the caller's painter knows how to draw (a widget, a widget and its state, a draw callback).
struct RenderContent {
    enum class Kind : std::uint8_t { Empty = 0, Widget = 1, Stateful = 2, Drawable = 3, Ir = 4 };

    Kind kind = Kind::Empty;
    // The caller's objects, opaque to the core (for Ir: the object that holds the value).
    std::shared_ptr<const void> first;
    std::shared_ptr<const void> second;
    // The value of an Ir content and the thread that built it: the core draws it only on that
    // thread and hands it to the painter otherwise.
    std::shared_ptr<const IrValue> ir;
    std::thread::id ir_thread;
};

struct RenderNode {
    RenderContent content;
    std::vector<Constraint> constraints;
    std::vector<std::shared_ptr<const RenderNode>> children;
    std::optional<std::string> effect_key;
    std::optional<std::uint16_t> x, y, width, height;
    std::int32_t z = 0;
    std::optional<Margin> margin;
    std::optional<Position> cursor_hint;
    std::uint16_t gap = 0;
    bool visible = true;
    std::optional<Direction> direction;  // absent reads as Vertical

    RenderNode() = default;
    RenderNode(const RenderNode&) = default;
    RenderNode(RenderNode&&) = default;
    RenderNode& operator=(const RenderNode&) = default;
    RenderNode& operator=(RenderNode&&) = default;
    // Releases a subtree of any depth without recursion.
    ~RenderNode();

    bool has_absolute_geometry() const noexcept { return x && y && width && height; }
    // The node's own rectangle (edges capped at 65535) cut to `bounds`; only for absolute nodes.
    Rect absolute_area(const Rect& bounds) const noexcept;
};

using NodePtr = std::shared_ptr<const RenderNode>;

// The keyed areas of a frame.
using EffectAreas = std::map<std::string, Rect, std::less<>>;

// Draws the contents the core cannot draw, and keeps the failures of a frame.
class ContentPainter {
public:
    virtual ~ContentPainter() = default;
    // Draws a Widget, Stateful or Drawable content, or an Ir content built on another thread,
    // into `area` of the frame (which the painter may lend to a draw callback for the time of
    // the call). Returns false when drawing failed; the painter keeps the failure (a later one
    // replaces it).
    virtual bool paint(const RenderContent& content, const Rect& area, LendableBuffer& frame) = 0;
    // Records the failure of a node nested deeper than the walk's depth limit.
    virtual void too_deep() = 0;
};

// The state of one frame's walk.
struct WalkContext {
    explicit WalkContext(ContentPainter& p, std::size_t depth_limit = SIZE_MAX) : painter(p), max_depth(depth_limit) {}

    ContentPainter& painter;
    // The deepest level drawn (the root is level 1); deeper subtrees fail with too_deep().
    std::size_t max_depth;
    bool failed = false;
    EffectAreas areas;
};

// The children's area: `area` shrunk by the margin on every side, or the empty rectangle at
// (0, 0) when the margin does not fit.
Rect inset(const Rect& area, const Margin& margin) noexcept;

// The order children are drawn in: ascending z, equal z keeping list order. Empty when the
// list order already is that order.
std::vector<std::size_t> drawing_order(const std::vector<NodePtr>& children);

// Draws the tree under `root` into `frame` with `area` offered to the root. Returns the cursor
// of the last node in drawing order that asked for one. The frame must not be lent out.
std::optional<Position> render_tree(const RenderNode& root, const Rect& area, LendableBuffer& frame,
                                    WalkContext& ctx);

}  // namespace tarvo::core::engine
