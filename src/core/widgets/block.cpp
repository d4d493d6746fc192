#include "core/widgets/block.hpp"

#include <algorithm>

#include "core/buffer.hpp"
#include "core/debug.hpp"
#include "core/numeric.hpp"

namespace tarvo::core {

namespace {

BorderSet make_set(const char* tl, const char* tr, const char* bl, const char* br, const char* vl, const char* vr,
                   const char* ht, const char* hb) {
    return BorderSet{tl, tr, bl, br, vl, vr, ht, hb};
}

std::uint16_t width16(const Line& line) noexcept { return clamp_to<std::uint16_t>(line.width()); }

// The one-row strip a title row offers: the block's width without its side borders.
Rect titles_row(const Block& b, const Rect& area, TitlePosition position) noexcept {
    const std::uint16_t left = borders::contains(b.borders, borders::LEFT) ? 1 : 0;
    const std::uint16_t right = borders::contains(b.borders, borders::RIGHT) ? 1 : 0;
    Rect r;
    r.x = sat_add<std::uint16_t>(area.x, left);
    r.y = position == TitlePosition::Top ? area.y : static_cast<std::uint16_t>(area.bottom() - 1);
    r.width = sat_sub<std::uint16_t>(sat_sub<std::uint16_t>(area.width, left), right);
    r.height = 1;
    return Rect::clipped(r.x, r.y, r.width, r.height);
}

// The titles that go on a row with the given alignment, in insertion order.
std::vector<const Line*> titles_for(const Block& b, TitlePosition position, Alignment alignment) {
    std::vector<const Line*> out;
    for (const BlockTitle& t : b.titles) {
        if (t.position.value_or(b.titles_position) != position) continue;
        if (t.line.alignment.value_or(b.titles_alignment) != alignment) continue;
        out.push_back(&t.line);
    }
    return out;
}

void draw_title(const Block& b, const Line& line, const Rect& at, Buffer& buf) {
    buf.set_style(at, b.titles_style);
    line.render(at, buf);
}

// Moves the left end of `strip` past a title `w` columns wide and the blank column after it.
void step_past(Rect& strip, std::uint16_t w) noexcept {
    const std::uint16_t step = sat_add<std::uint16_t>(w, 1);
    strip.x = sat_add(strip.x, step);
    strip.width = sat_sub(strip.width, step);
}

// Left titles run rightwards from the left end, one blank column between them.
void left_titles(const Block& b, TitlePosition position, const Rect& area, Buffer& buf) {
    Rect strip = titles_row(b, area, position);
    for (const Line* line : titles_for(b, position, Alignment::Left)) {
        if (strip.is_empty()) break;
        const std::uint16_t w = width16(*line);
        draw_title(b, *line, Rect{strip.x, strip.y, std::min(w, strip.width), 1}, buf);
        step_past(strip, w);
    }
}

// Right titles are laid out from the right end leftwards, the last one added outermost.
void right_titles(const Block& b, TitlePosition position, const Rect& area, Buffer& buf) {
    Rect strip = titles_row(b, area, position);
    const std::vector<const Line*> lines = titles_for(b, position, Alignment::Right);
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        if (strip.is_empty()) break;
        const std::uint16_t w = width16(**it);
        const std::uint16_t x = std::max(sat_sub(strip.right(), w), strip.x);
        draw_title(b, **it, Rect{x, strip.y, std::min(w, strip.width), 1}, buf);
        strip.width = sat_sub<std::uint16_t>(sat_sub(strip.width, w), 1);
    }
}

// Centred titles are centred as one group (one blank column between them). A group wider than
// the row loses columns on both sides: the left excess is cut off the first titles' left ends,
// the rest falls off the right edge.
void center_titles(const Block& b, TitlePosition position, const Rect& area, Buffer& buf) {
    const Rect strip = titles_row(b, area, position);
    const std::vector<const Line*> lines = titles_for(b, position, Alignment::Center);
    std::uint32_t total = 0;
    for (const Line* line : lines) total += std::uint32_t{width16(*line)} + 1;
    const std::uint16_t total_width = clamp_to<std::uint16_t>(total > 0 ? total - 1 : 0);

    Rect cur = strip;
    if (total_width <= strip.width) {
        cur.x = sat_add<std::uint16_t>(strip.x, static_cast<std::uint16_t>((strip.width - total_width) / 2));
        cur.width = static_cast<std::uint16_t>(strip.right() - cur.x);
        for (const Line* line : lines) {
            const std::uint16_t w = width16(*line);
            draw_title(b, *line, Rect::clipped(cur.x, cur.y, w, 1), buf);
            step_past(cur, w);
        }
        return;
    }
    std::uint16_t offset = static_cast<std::uint16_t>((total_width - strip.width) / 2);
    for (const Line* line : lines) {
        if (cur.is_empty()) break;
        const std::uint16_t w = sat_sub(std::min(cur.width, width16(*line)), offset);
        const Rect at{cur.x, cur.y, w, 1};
        Line cut = *line;
        if (offset > 0) {
            cut.alignment = Alignment::Right;  // keeps the right end, loses the left
            offset = sat_sub<std::uint16_t>(sat_sub(offset, w), 1);
        } else {
            cut.alignment = Alignment::Left;
        }
        draw_title(b, cut, at, buf);
        step_past(cur, w);
    }
}

void put(Buffer& buf, std::uint32_t x, std::uint32_t y, const std::string& symbol, const Style& style) {
    if (Cell* c = buf.cell_at(x, y)) c->set_symbol(symbol).set_style(style);
}

}  // namespace

BorderSet BorderSet::plain() { return make_set("┌", "┐", "└", "┘", "│", "│", "─", "─"); }
BorderSet BorderSet::rounded() { return make_set("╭", "╮", "╰", "╯", "│", "│", "─", "─"); }
BorderSet BorderSet::double_line() { return make_set("╔", "╗", "╚", "╝", "║", "║", "═", "═"); }
BorderSet BorderSet::thick() { return make_set("┏", "┓", "┗", "┛", "┃", "┃", "━", "━"); }
BorderSet BorderSet::quadrant_inside() { return make_set("▗", "▖", "▝", "▘", "▐", "▌", "▄", "▀"); }
BorderSet BorderSet::quadrant_outside() { return make_set("▛", "▜", "▙", "▟", "▌", "▐", "▀", "▄"); }

BorderSet BorderSet::of(BorderType type) {
    switch (type) {
        case BorderType::Plain: return plain();
        case BorderType::Rounded: return rounded();
        case BorderType::Double: return double_line();
        case BorderType::Thick: return thick();
        case BorderType::QuadrantInside: return quadrant_inside();
        case BorderType::QuadrantOutside: return quadrant_outside();
    }
    return plain();
}

std::string BorderSet::repr() const {
    return debug::Struct("Set")
        .field("top_left", debug::quoted(top_left))
        .field("top_right", debug::quoted(top_right))
        .field("bottom_left", debug::quoted(bottom_left))
        .field("bottom_right", debug::quoted(bottom_right))
        .field("vertical_left", debug::quoted(vertical_left))
        .field("vertical_right", debug::quoted(vertical_right))
        .field("horizontal_top", debug::quoted(horizontal_top))
        .field("horizontal_bottom", debug::quoted(horizontal_bottom))
        .finish();
}

std::string Padding::repr() const {
    return debug::Struct("Padding")
        .field("left", std::to_string(left))
        .field("right", std::to_string(right))
        .field("top", std::to_string(top))
        .field("bottom", std::to_string(bottom))
        .finish();
}

std::string_view alignment_name(Alignment a) noexcept {
    switch (a) {
        case Alignment::Left: return "Left";
        case Alignment::Center: return "Center";
        case Alignment::Right: return "Right";
    }
    return "Left";
}

bool Block::has_title_at(TitlePosition position) const noexcept {
    return std::any_of(titles.begin(), titles.end(),
                       [&](const BlockTitle& t) { return t.position.value_or(titles_position) == position; });
}

Rect Block::inner(const Rect& area) const noexcept {
    Rect r = area;
    if (borders & borders::LEFT) {
        r.x = std::min(sat_add<std::uint16_t>(r.x, 1), r.right());
        r.width = sat_sub<std::uint16_t>(r.width, 1);
    }
    if ((borders & borders::TOP) || has_title_at(TitlePosition::Top)) {
        r.y = std::min(sat_add<std::uint16_t>(r.y, 1), r.bottom());
        r.height = sat_sub<std::uint16_t>(r.height, 1);
    }
    if (borders & borders::RIGHT) r.width = sat_sub<std::uint16_t>(r.width, 1);
    if ((borders & borders::BOTTOM) || has_title_at(TitlePosition::Bottom)) r.height = sat_sub<std::uint16_t>(r.height, 1);

    r.x = sat_add(r.x, padding.left);
    r.y = sat_add(r.y, padding.top);
    r.width = sat_sub(r.width, sat_add(padding.left, padding.right));
    r.height = sat_sub(r.height, sat_add(padding.top, padding.bottom));
    return Rect::clipped(r.x, r.y, r.width, r.height);
}

void Block::render(const Rect& target, Buffer& buf) const {
    const Rect area = target.intersection(buf.area);
    if (area.is_empty()) return;
    buf.set_style(area, style);

    const std::uint16_t left = area.x, top = area.y;
    const std::uint16_t right = static_cast<std::uint16_t>(area.right() - 1);
    const std::uint16_t bottom = static_cast<std::uint16_t>(area.bottom() - 1);

    // The sides run the whole length of the area; the corners are drawn over their ends.
    if (borders & borders::LEFT)
        for (std::uint32_t y = top; y <= bottom; ++y) put(buf, left, y, border_set.vertical_left, border_style);
    if (borders & borders::TOP)
        for (std::uint32_t x = left; x <= right; ++x) put(buf, x, top, border_set.horizontal_top, border_style);
    if (borders & borders::RIGHT)
        for (std::uint32_t y = top; y <= bottom; ++y) put(buf, right, y, border_set.vertical_right, border_style);
    if (borders & borders::BOTTOM)
        for (std::uint32_t x = left; x <= right; ++x)
            put(buf, x, bottom, border_set.horizontal_bottom, border_style);

    using borders::contains;
    if (contains(borders, borders::RIGHT | borders::BOTTOM)) put(buf, right, bottom, border_set.bottom_right, border_style);
    if (contains(borders, borders::RIGHT | borders::TOP)) put(buf, right, top, border_set.top_right, border_style);
    if (contains(borders, borders::LEFT | borders::BOTTOM)) put(buf, left, bottom, border_set.bottom_left, border_style);
    if (contains(borders, borders::LEFT | borders::TOP)) put(buf, left, top, border_set.top_left, border_style);

    // Titles: per row, left ones first, then centred, then right ones (the last drawn wins
    // where they overlap).
    for (TitlePosition position : {TitlePosition::Top, TitlePosition::Bottom}) {
        left_titles(*this, position, area, buf);
        center_titles(*this, position, area, buf);
        right_titles(*this, position, area, buf);
    }
}

std::string Block::repr() const {
    const std::string titles_text = debug::list(titles, [](const BlockTitle& t) {
        const std::string pos = debug::option(t.position, [](TitlePosition p) { return std::string(name_of(p)); });
        return "(" + pos + ", " + t.line.repr() + ")";
    });
    return debug::Struct("Block")
        .field("titles", titles_text)
        .field("titles_style", style_repr(titles_style))
        .field("titles_alignment", std::string(alignment_name(titles_alignment)))
        .field("titles_position", std::string(name_of(titles_position)))
        .field("borders", borders_repr(borders))
        .field("border_style", style_repr(border_style))
        .field("border_set", border_set.repr())
        .field("style", style_repr(style))
        .field("padding", padding.repr())
        .field("merge_borders", "Replace")
        .field("shadow", "None")
        .finish();
}

std::string optional_block_repr(const std::optional<Block>& block) {
    return block ? "Some(" + block->repr() + ")" : std::string("None");
}

}  // namespace tarvo::core
