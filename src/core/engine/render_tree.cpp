#include "core/engine/render_tree.hpp"

#include <algorithm>
#include <utility>

#include "core/numeric.hpp"

namespace tarvo::core::engine {

RenderNode::~RenderNode() {
    // A chain of nodes owned only through each other is taken apart level by level here, so
    // that releasing a very deep tree never recurses.
    std::vector<NodePtr> pending = std::move(children);
    while (!pending.empty()) {
        NodePtr node = std::move(pending.back());
        pending.pop_back();
        if (node.use_count() == 1) {
            auto& kids = const_cast<RenderNode&>(*node).children;
            for (NodePtr& kid : kids) pending.push_back(std::move(kid));
            kids.clear();
        }
    }
}

Rect RenderNode::absolute_area(const Rect& bounds) const noexcept {
    const std::uint32_t right = std::min<std::uint32_t>(std::uint32_t{*x} + *width, 65535);
    const std::uint32_t bottom = std::min<std::uint32_t>(std::uint32_t{*y} + *height, 65535);
    const std::uint32_t left = std::max<std::uint32_t>(*x, bounds.x);
    const std::uint32_t top = std::max<std::uint32_t>(*y, bounds.y);
    const std::uint32_t r = std::min<std::uint32_t>(right, bounds.right());
    const std::uint32_t b = std::min<std::uint32_t>(bottom, bounds.bottom());
    return Rect{static_cast<std::uint16_t>(left), static_cast<std::uint16_t>(top),
                static_cast<std::uint16_t>(r > left ? r - left : 0), static_cast<std::uint16_t>(b > top ? b - top : 0)};
}

Rect inset(const Rect& area, const Margin& margin) noexcept {
    const std::uint32_t h2 = std::min<std::uint32_t>(std::uint32_t{margin.horizontal} * 2, 65535);
    const std::uint32_t v2 = std::min<std::uint32_t>(std::uint32_t{margin.vertical} * 2, 65535);
    if (area.width < h2 || area.height < v2) return Rect{};
    return Rect{sat_add<std::uint16_t>(area.x, margin.horizontal), sat_add<std::uint16_t>(area.y, margin.vertical),
                static_cast<std::uint16_t>(area.width - h2), static_cast<std::uint16_t>(area.height - v2)};
}

std::vector<std::size_t> drawing_order(const std::vector<NodePtr>& children) {
    std::vector<std::size_t> order;
    const bool sorted = std::is_sorted(children.begin(), children.end(),
                                       [](const NodePtr& a, const NodePtr& b) { return a->z < b->z; });
    if (sorted) return order;
    order.resize(children.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    // Ties broken by list position: the same order a stable sort gives.
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const std::int32_t za = children[a]->z, zb = children[b]->z;
        return za != zb ? za < zb : a < b;
    });
    return order;
}

namespace {

// A node whose children are being drawn.
struct Level {
    const RenderNode* node;
    std::vector<Rect> slots;  // the split of the children's area; unused when `laid_out` is false
    bool laid_out;
    std::vector<std::size_t> order;  // empty: list order
    std::size_t next = 0;
};

class Walk {
public:
    Walk(LendableBuffer& frame, WalkContext& ctx) : frame_(frame), buf_(frame.change()), ctx_(ctx) {}

    std::optional<Position> run(const RenderNode& root, const Rect& area) {
        visit(root, area);
        while (!stack_.empty()) {
            Level& top = stack_.back();
            const auto& children = top.node->children;
            if (top.next >= children.size()) {
                stack_.pop_back();
                continue;
            }
            const std::size_t i = top.order.empty() ? top.next : top.order[top.next];
            ++top.next;
            const RenderNode& child = *children[i];
            if (top.laid_out) {
                if (i >= top.slots.size()) continue;  // more children than constraints
                const Rect offered = top.slots[i];
                visit(child, offered);
            } else {
                visit(child, child.absolute_area(buf_.area));
            }
        }
        return cursor_;
    }

private:
    // Draws one node and, when it has children to draw, opens a level for them.
    void visit(const RenderNode& node, const Rect& offered) {
        if (!node.visible) return;
        const Rect area = node.has_absolute_geometry() ? node.absolute_area(buf_.area) : offered;
        if (area.is_empty()) return;
        if (stack_.size() >= ctx_.max_depth) {
            ctx_.failed = true;
            ctx_.painter.too_deep();
            return;
        }
        if (node.effect_key) ctx_.areas.insert_or_assign(*node.effect_key, area);
        if (!draw_content(node.content, area)) {
            ctx_.failed = true;
            return;
        }
        if (node.cursor_hint) {
            cursor_ = Position{sat_add<std::uint16_t>(area.x, node.cursor_hint->x),
                               sat_add<std::uint16_t>(area.y, node.cursor_hint->y)};
        }
        if (node.children.empty()) return;

        const Rect inner = node.margin ? inset(area, *node.margin) : area;
        Level level{&node, {}, false, drawing_order(node.children)};
        const bool all_absolute = std::all_of(node.children.begin(), node.children.end(),
                                              [](const NodePtr& c) { return c->has_absolute_geometry(); });
        if (!all_absolute) {
            Layout layout;
            layout.direction = node.direction.value_or(Direction::Vertical);
            layout.constraints = node.constraints;
            layout.flex = Flex::Start;
            layout.spacing = Spacing::space(node.gap);
            level.slots = layout.split(inner);
            level.laid_out = true;
        }
        stack_.push_back(std::move(level));
    }

    bool draw_content(const RenderContent& content, const Rect& area) {
        switch (content.kind) {
            case RenderContent::Kind::Empty:
                return true;
            case RenderContent::Kind::Ir:
                if (content.ir && content.ir_thread == std::this_thread::get_id()) {
                    render_ir(*content.ir, area, buf_);
                    return true;
                }
                return ctx_.painter.paint(content, area, frame_);
            default:
                return ctx_.painter.paint(content, area, frame_);
        }
    }

    LendableBuffer& frame_;
    Buffer& buf_;  // the frame's buffer, which stays in place while the walk runs
    WalkContext& ctx_;
    std::vector<Level> stack_;
    std::optional<Position> cursor_;
};

}  // namespace

std::optional<Position> render_tree(const RenderNode& root, const Rect& area, LendableBuffer& frame,
                                    WalkContext& ctx) {
    return Walk(frame, ctx).run(root, area);
}

}  // namespace tarvo::core::engine
