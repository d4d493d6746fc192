// An incremental Cassowary constraint solver in the Kiwi formulation: a primal simplex over a
// tableau of rows, with error variables for the soft constraints and the objective "minimise
// the sum of strength × error". Constraints are added one at a time and the tableau is
// re-optimised after each addition.
//
// The solver is deterministic. Wherever the method picks "some" candidate (the subject of a
// new row, the entering and leaving symbols of a pivot, the symbol that replaces an artificial
// variable) it scans the candidates from the newest symbol to the oldest and takes the first
// (the split solver can be told to take the oldest of equal ratios instead); nothing depends on
// hashing or on addresses.
//
// The method has no rule against degenerate stalling: on problems with many equal-weight
// preferences it can pivot for a very long time, making no or almost no progress. The caller
// may set a patience after which such an optimisation is given up (Status::NoProgress).
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

namespace tarvo::core::cassowary {

// Strengths of preferred constraints. A constraint is required when its strength is not below
// `required`; anything weaker is weighted by its strength in the objective.
namespace strength {
inline constexpr double required = 1'001'001'000.0;
inline constexpr double strong = 1'000'000.0;
inline constexpr double medium = 1'000.0;
inline constexpr double weak = 1.0;

// Keeps a strength inside 0 .. required.
constexpr double clip(double value) noexcept {
    return value < 0.0 ? 0.0 : (value > required ? required : value);
}

// A weighted combination of the three preferred levels, clipped.
constexpr double create(double a, double b, double c, double weight = 1.0) noexcept {
    return clip(a * 1'000'000.0 * weight + b * 1'000.0 * weight + c * weight);
}
}  // namespace strength

// A variable of one solver, numbered from 0 in creation order.
struct Variable {
    std::uint32_t index = 0;
    friend constexpr bool operator==(Variable, Variable) = default;
};

struct Term {
    Variable variable;
    double coefficient = 1.0;
};

// constant + Σ coefficient × variable. Terms are kept in the order they were written; the same
// variable may appear more than once (its coefficients add up).
struct Expression {
    std::vector<Term> terms;
    double constant = 0.0;

    Expression() = default;
    Expression(double c) : constant(c) {}  // NOLINT(google-explicit-constructor)
    Expression(Variable v) : terms{{v, 1.0}} {}  // NOLINT(google-explicit-constructor)

    Expression& operator+=(const Expression& other);
    Expression& operator-=(const Expression& other);
    Expression& operator*=(double factor);
};

Expression operator+(Expression a, const Expression& b);
Expression operator-(Expression a, const Expression& b);
Expression operator*(Expression a, double factor);
Expression operator*(double factor, Expression a);

enum class Relation : std::uint8_t { LessOrEqual, Equal, GreaterOrEqual };

// "expression relation 0", with a strength.
struct Constraint {
    Expression expression;
    Relation relation = Relation::Equal;
    double strength = strength::required;
};

// Builds "left relation right" as "(left − right) relation 0".
Constraint make_constraint(const Expression& left, Relation relation, const Expression& right,
                           double strength);

enum class Status : std::uint8_t {
    Ok,
    // A required constraint contradicts the required constraints already added.
    Unsatisfiable,
    // The objective can decrease without bound (a preferred constraint pulls a variable that
    // nothing bounds).
    Unbounded,
    // The simplex did not settle within its pivot budget.
    NoProgress,
    // Rounding left the pivot the ratio test chose without a coefficient to pivot on.
    Unstable,
};

const char* status_text(Status status) noexcept;

namespace detail {

using Symbol = std::uint32_t;  // 0 is "no symbol"

// Values closer to zero than this count as none: coefficients are dropped, and a required
// constraint leaving less holds.
inline constexpr double kNearZero = 1e-8;
inline bool near_zero_value(double value) noexcept { return value < 0.0 ? -value < kNearZero : value < kNearZero; }

struct Cell {
    Symbol symbol;
    double coefficient;
};

inline void sort_by_symbol(std::vector<Cell>& cells) {
    std::sort(cells.begin(), cells.end(), [](const Cell& x, const Cell& y) { return x.symbol < y.symbol; });
}

// The cells of a direct row: the coefficient of each symbol (0 for none), and a bit for each
// slot that holds a cell, so that visiting the cells of a long row costs its cells, not its slots.
struct Slots {
    std::vector<double> coefficients;
    std::vector<std::uint64_t> occupied;

    std::size_t size() const noexcept { return coefficients.size(); }
    void resize(std::size_t slots) {
        coefficients.resize(slots, 0.0);
        occupied.resize((slots + 63) / 64, 0);
    }
};

// The slots of direct rows that went back to another form, kept emptied for the next row that
// goes direct. (In a roomy split many rows pass briefly through the direct form, each taking a
// slot for every symbol: fresh memory for each would cost more than the additions.)
class SlotPool {
public:
    bool empty() const noexcept { return free_.empty(); }
    std::unique_ptr<Slots> take() {
        std::unique_ptr<Slots> out = std::move(free_.back());
        free_.pop_back();
        return out;
    }
    void give(std::unique_ptr<Slots> slots) { free_.push_back(std::move(slots)); }

private:
    std::vector<std::unique_ptr<Slots>> free_;  // every slot empty
};

// Working storage for adding one row (the addend) to many others: its cells in storage order
// and, when needed, sorted; a merge buffer; and the addend's coefficients spread out by symbol
// (filled on first use).
struct Workspace {
    std::span<const Cell> cells;           // the addend's cells
    bool cells_sorted = true;              // whether `cells` is sorted by symbol
    std::vector<Cell> compact;             // the cells of a hashed addend
    std::vector<Cell> sorted;              // the same, sorted, once asked for
    bool sorted_ready = false;
    std::vector<Cell> merge;
    std::vector<double> dense;             // by symbol: the addend's coefficient
    std::vector<std::uint64_t> dense_for;  // by symbol: the addend `dense` holds it for
    std::vector<std::uint64_t> seen;       // by symbol: the last update that met it
    std::vector<Symbol> doomed;            // cells to delete after a scan
    std::size_t symbol_count = 0;          // symbols that exist while the addend is added
    std::uint64_t addend = 0;              // numbers the addends
    std::uint64_t update = 0;              // numbers the updates
    bool spread = false;                   // whether `dense` holds the current addend
    SlotPool slots;                        // of direct rows

    std::span<const Cell> sorted_cells() {
        if (cells_sorted) return cells;
        if (!sorted_ready) {
            sorted.assign(cells.begin(), cells.end());
            sort_by_symbol(sorted);
            sorted_ready = true;
        }
        return sorted;
    }
    void spread_out() {
        if (spread) return;
        if (dense.size() < symbol_count) {
            const std::size_t size = std::max(symbol_count, 2 * dense.size());
            dense.resize(size, 0.0);
            dense_for.resize(size, 0);
            seen.resize(size, 0);
        }
        for (const Cell& c : cells) {
            dense[c.symbol] = c.coefficient;
            dense_for[c.symbol] = addend;
        }
        spread = true;
    }
    std::uint64_t next_update() noexcept { return ++update; }
};

// A set of symbols that answers "the newest member" in a few word scans: a bit per symbol and
// a bit per word of them that is not empty.
class SymbolSet {
public:
    void set(Symbol s, bool member) {
        const std::size_t w = s >> 6;
        if (w >= words_.size()) {
            if (!member) return;
            words_.resize(std::max(w + 1, 2 * words_.size()), 0);
            summary_.resize((words_.size() + 63) >> 6, 0);
        }
        const std::uint64_t bit = std::uint64_t{1} << (s & 63u);
        words_[w] = member ? (words_[w] | bit) : (words_[w] & ~bit);
        const std::uint64_t word_bit = std::uint64_t{1} << (w & 63u);
        summary_[w >> 6] = words_[w] != 0 ? (summary_[w >> 6] | word_bit) : (summary_[w >> 6] & ~word_bit);
    }
    // The largest member, 0 when there is none.
    Symbol newest() const noexcept {
        for (std::size_t i = summary_.size(); i-- > 0;) {
            if (summary_[i] == 0) continue;
            const std::size_t w = (i << 6) + 63 - static_cast<std::size_t>(__builtin_clzll(summary_[i]));
            return static_cast<Symbol>((w << 6) + 63 - static_cast<std::size_t>(__builtin_clzll(words_[w])));
        }
        return 0;
    }

private:
    std::vector<std::uint64_t> words_;
    std::vector<std::uint64_t> summary_;
};

// A set of numbers below a fixed bound, a bit each, that finds the nearest member on either
// side of a number.
class BitSet {
public:
    // Every number below `count`, or none of them.
    void assign(std::size_t count, bool members) {
        words_.assign((count + 63) >> 6, members ? ~std::uint64_t{0} : 0);
        if (members && (count & 63u) != 0) words_.back() = (std::uint64_t{1} << (count & 63u)) - 1;
    }
    void set(std::size_t i, bool member) noexcept {
        const std::uint64_t bit = std::uint64_t{1} << (i & 63u);
        words_[i >> 6] = member ? (words_[i >> 6] | bit) : (words_[i >> 6] & ~bit);
    }
    // The smallest member not below i, `none` when there is none.
    std::size_t next(std::size_t i, std::size_t none) const noexcept;
    // The largest member below i, `none` when there is none.
    std::size_t previous(std::size_t i, std::size_t none) const noexcept;

private:
    std::vector<std::uint64_t> words_;
};

// By symbol, a list of owners (the rows that may hold the symbol), all kept in one pool of
// chunks of up to 30 owners each: appending takes no allocation of its own and mostly touches
// one chunk, and emptying a list gives its chunks back. Each list keeps the order of its
// appends. The pool grows by blocks of chunks, so that a large one is never copied.
class ColumnLists {
public:
    void add_symbol() {
        head_.push_back(0);
        tail_.push_back(0);
    }
    void reserve(std::size_t symbols) {
        head_.reserve(symbols);
        tail_.reserve(symbols);
    }
    void assign(std::size_t symbols) {
        head_.assign(symbols, 0);
        tail_.assign(symbols, 0);
        used_ = 1;
        free_ = 0;
    }
    void push(Symbol s, std::uint32_t owner) {
        const std::uint32_t t = tail_[s];
        if (t != 0 && chunk(t).count < kPerChunk) {
            Chunk& c = chunk(t);
            c.owner[c.count++] = owner;
            return;
        }
        const std::uint32_t n = new_chunk();
        Chunk& c = chunk(n);
        c.owner[0] = owner;
        c.count = 1;
        c.next = 0;
        if (t != 0)
            chunk(t).next = n;
        else
            head_[s] = n;
        tail_[s] = n;
    }
    // Calls f(owner) for every owner in the list of `s`, in order. f may push onto other lists.
    template <typename F>
    void for_each(Symbol s, F&& f) const {
        for (std::uint32_t n = head_[s]; n != 0; n = chunk(n).next)
            for (std::uint32_t i = 0; i < chunk(n).count; ++i) f(chunk(n).owner[i]);
    }
    void clear(Symbol s) noexcept {
        if (head_[s] == 0) return;
        chunk(tail_[s]).next = free_;
        free_ = head_[s];
        head_[s] = tail_[s] = 0;
    }

private:
    static constexpr std::uint32_t kPerChunk = 30;  // a chunk fills two cache lines
    static constexpr unsigned kBlockBits = 11;  // chunks per block: 2048, 256 KiB
    struct Chunk {
        std::uint32_t owner[kPerChunk];
        std::uint32_t count;
        std::uint32_t next;  // 0 ends the list; chunk 0 is never used
    };
    Chunk& chunk(std::uint32_t n) noexcept { return blocks_[n >> kBlockBits][n & ((1u << kBlockBits) - 1)]; }
    const Chunk& chunk(std::uint32_t n) const noexcept {
        return blocks_[n >> kBlockBits][n & ((1u << kBlockBits) - 1)];
    }
    std::uint32_t new_chunk() {
        if (free_ != 0) {
            const std::uint32_t n = free_;
            free_ = chunk(n).next;
            return n;
        }
        if ((used_ >> kBlockBits) == blocks_.size())
            blocks_.emplace_back(new Chunk[std::size_t{1} << kBlockBits]);  // filled as used
        return used_++;
    }
    std::vector<std::unique_ptr<Chunk[]>> blocks_;
    std::uint32_t used_ = 1;                  // chunks handed out from the blocks, chunk 0 included
    std::vector<std::uint32_t> head_, tail_;  // by symbol
    std::uint32_t free_ = 0;                  // the first chunk given back, 0 when none
};

// constant + Σ coefficient × symbol. A row of up to a few hundred cells keeps them sorted by
// symbol, and another row is added to it by merging the two; a row that grows longer keeps
// them from then on in an open-addressing hash table (symbol 0 marks a free slot), so that
// adding a short row to it costs the length of the short one. A row that most symbols pass
// through, the objective (and in a large split any row that holds a good share of all symbols),
// is instead kept direct: slot s holds the coefficient of symbol s (0 for none: a coefficient
// near zero is never kept), so that looking a symbol up or adding a product to its cell is one
// index, at the price of a slot for every symbol. Every use of a row either looks symbols up or
// visits all cells without depending on their order, so the three forms give the same results.
class Row {
public:
    double constant = 0.0;

    // A copy has slots of its own; a row moved from is left empty.
    Row() = default;
    Row(const Row& other)
        : constant(other.constant),
          cells_(other.cells_),
          direct_(other.direct_ ? std::make_unique<Slots>(*other.direct_) : nullptr),
          mask_(other.mask_),
          size_(other.size_),
          shift_(other.shift_),
          store_(other.store_) {}
    Row(Row&& other) noexcept
        : constant(other.constant),
          cells_(std::move(other.cells_)),
          direct_(std::move(other.direct_)),
          mask_(other.mask_),
          size_(other.size_),
          shift_(other.shift_),
          store_(other.store_) {
        other.clear();
    }
    Row& operator=(const Row& other) { return *this = Row(other); }
    Row& operator=(Row&& other) noexcept {
        if (this != &other) {
            constant = other.constant;
            cells_ = std::move(other.cells_);
            direct_ = std::move(other.direct_);
            mask_ = other.mask_;
            size_ = other.size_;
            shift_ = other.shift_;
            store_ = other.store_;
            other.clear();
        }
        return *this;
    }

    bool empty() const noexcept { return size_ == 0; }
    std::size_t size() const noexcept { return size_; }
    bool is_direct() const noexcept { return store_ == Store::Direct; }
    // The bytes of room the row holds for its cells.
    std::size_t room() const noexcept {
        const std::size_t direct = direct_ ? direct_->coefficients.capacity() * sizeof(double) +
                                                 direct_->occupied.capacity() * sizeof(std::uint64_t)
                                           : 0;
        return cells_.capacity() * sizeof(Cell) + direct;
    }

    // Calls f(cell) for every cell.
    template <typename F>
    void for_each(F&& f) const {
        if (store_ == Store::Direct) {
            for_each_occupied([&](std::size_t s) { f(Cell{static_cast<Symbol>(s), direct_->coefficients[s]}); });
            return;
        }
        for (const Cell& c : cells_)
            if (c.symbol != 0) f(c);
    }
    // Makes this row the addend of `ws`, while `symbols` symbols exist.
    void stage(Workspace& ws, std::size_t symbols) const;
    void reserve(std::size_t cells) { cells_.reserve(cells); }
    // Keeps the row direct from now on, with a slot for each of at least `symbols` symbols
    // (more are made as needed), taken from `pool` when it has some. On a direct row, makes
    // room for that many.
    void make_direct(std::size_t symbols, SlotPool* pool = nullptr);

    // The coefficient of `s`, 0 when the row has no cell for it.
    double coefficient_for(Symbol s) const noexcept;
    // Removes the cell of `s` and returns its coefficient (0 when there was none).
    double take(Symbol s) noexcept;
    // Adds `c` to the cell of `s`, creating it when `c` is not near zero and deleting it when
    // the sum is near zero. Returns true when a cell was created.
    bool add(Symbol s, double c);
    // Adds each cell of the addend staged in `ws` times `factor` as `add` does, calling
    // created(symbol) for every cell created. The cell of `drop` (0: none) is removed first.
    // Returns the number of cells visited.
    template <typename F>
    std::size_t add_all(double factor, Workspace& ws, F&& created, Symbol drop = 0);
    // Whether the row may hold a cell for `s`: false means it certainly does not.
    bool may_hold(Symbol s) const noexcept { return (mask_ & bit(s)) != 0; }
    // Gives back the room of a table most of whose cells have cancelled: the row is kept
    // sorted again when it is short enough, else in a table sized for what is left. (A table
    // never shrinks on its own; in a long split, rows grow long for a few pivots and then
    // cancel down, and their tables would hold many times the memory the tableau needs.)
    // The slots a direct row gives up go to `pool`, when given.
    void shrink_if_sparse(SlotPool* pool = nullptr) {
        if (store_ == Store::Hashed && cells_.size() > kMinSlots && 8 * std::size_t{size_} < cells_.size()) shrink();
        if (store_ == Store::Direct && 16 * std::size_t{size_} < direct_->size()) shrink(pool);
    }
    // Makes a row direct that holds cells for more than a sixth of the `symbols` symbols, or
    // will once `more` cells are added: then its slots (8 bytes each) take under 48 bytes a
    // cell, about what a table takes (16 bytes a slot, up to half of them full), and adding to
    // it needs no probing. (In a roomy split, where every size comes to depend on every
    // proportion, most rows end that long, and many pass through it.) shrink_if_sparse turns it
    // back into a table once it has cancelled down to a sixteenth of its slots.
    void densify_if_long(std::size_t symbols, std::size_t more = 0, SlotPool* pool = nullptr) {
        if (store_ != Store::Direct && 6 * (std::size_t{size_} + more) > symbols) make_direct(symbols, pool);
    }
    // Multiplies the constant and every coefficient.
    void scale(double factor) noexcept;
    void clear() noexcept;

private:
    static constexpr std::size_t kHashFrom = 256;  // a sorted row longer than this becomes a table
    static constexpr std::size_t kMinSlots = 2 * kHashFrom;

    static constexpr std::uint64_t bit(Symbol s) noexcept { return std::uint64_t{1} << (s & 63u); }
    // The home slot of `s`: a strong mix of the symbol and the size of the table, so that no
    // two sizes of table lay symbols out alike. (With one hash for every size, the cells of a
    // large table come out in the order of their home slots, and adding them to a smaller
    // table piles them up in long runs: probing grew to hundreds of slots.)
    std::size_t home(Symbol s) const noexcept {
        std::uint64_t h = std::uint64_t{s} + std::uint64_t{shift_} * 0x9e3779b97f4a7c15ull;
        h = (h ^ (h >> 30)) * 0xbf58476d1ce4e5b9ull;
        h = (h ^ (h >> 27)) * 0x94d049bb133111ebull;
        return static_cast<std::size_t>((h ^ (h >> 31)) >> shift_);
    }
    std::size_t find_sorted(Symbol s) const noexcept;  // the first cell not below s
    std::size_t find_slot(Symbol s) const noexcept;    // the slot of s or the free slot ending its run
    double direct_coefficient(Symbol s) const noexcept {
        return s < direct_->size() ? direct_->coefficients[s] : 0.0;
    }
    // Calls f(s) for the slot of every cell of a direct row, in the order of the symbols.
    template <typename F>
    void for_each_occupied(F&& f) const {
        const std::vector<std::uint64_t>& occupied = direct_->occupied;
        for (std::size_t w = 0; w < occupied.size(); ++w)
            for (std::uint64_t bits = occupied[w]; bits != 0; bits &= bits - 1)
                f(64 * w + static_cast<std::size_t>(std::countr_zero(bits)));
    }
    void occupy(Symbol s) noexcept { direct_->occupied[s / 64] |= bit(s); }
    void vacate(Symbol s) noexcept { direct_->occupied[s / 64] &= ~bit(s); }
    // Gives a direct row `slots` slots, all empty: the pool's, when it has some.
    void empty_slots(std::size_t slots, SlotPool* pool) {
        direct_ = pool && !pool->empty() ? pool->take() : std::make_unique<Slots>();
        direct_->resize(slots);
    }
    // `add` on a direct row; inline, as adding a row to the objective runs it for every cell.
    [[gnu::always_inline]] bool add_direct(Symbol s, double c) {
        Slots& d = *direct_;
        if (s >= d.size()) [[unlikely]] {
            if (near_zero_value(c)) return false;
            grow_direct(s);
        }
        double& cell = d.coefficients[s];
        if (cell != 0.0) {
            cell += c;
            if (near_zero_value(cell)) {
                cell = 0.0;
                vacate(s);
                --size_;
            }
            return false;
        }
        if (near_zero_value(c)) return false;
        cell = c;
        occupy(s);
        ++size_;
        return true;
    }
    // Makes a direct row's slots reach `s`: a quarter more each time, as a long row grows while
    // symbols are made.
    [[gnu::noinline]] void grow_direct(Symbol s);
    void erase_slot(std::size_t hole) noexcept;
    void shrink(SlotPool* pool = nullptr);
    void rehash(std::size_t capacity);  // into a table of at least this many slots
    // Keeps `cells` (in no order, none with symbol 0) in a table of at least this many slots.
    void hash_cells(const std::vector<Cell>& cells, std::size_t capacity);

    enum class Store : std::uint8_t { Sorted, Hashed, Direct };

    // Sorted cells; or the slots of the table, a power of two, at most half full.
    std::vector<Cell> cells_;
    // Direct: the slots (none in the other forms).
    std::unique_ptr<Slots> direct_;
    // Bit (s mod 64) set for every symbol s the row may hold (all bits unless sorted).
    std::uint64_t mask_ = 0;
    std::uint32_t size_ = 0;
    unsigned shift_ = 64;
    Store store_ = Store::Sorted;
};

template <typename F>
std::size_t Row::add_all(double factor, Workspace& ws, F&& created, Symbol drop) {
    if (store_ == Store::Direct) {
        if (drop != 0) (void)take(drop);
        for (const Cell& c : ws.cells)
            if (add_direct(c.symbol, c.coefficient * factor)) created(c.symbol);
        return ws.cells.size();
    }
    // A long addend in no order makes a long row: hash this one now rather than sort the addend.
    if (store_ == Store::Sorted && !ws.cells_sorted && cells_.size() + ws.cells.size() > kHashFrom)
        rehash(kMinSlots);
    if (store_ == Store::Hashed) {
        const std::span<const Cell> cells = ws.cells;
        if (drop != 0) (void)take(drop);
        if (16 * cells.size() < cells_.size()) {
            // Few cells against a large table: look each one up. The lookups are independent,
            // so start fetching all their first slots at once.
            for (const Cell& c : cells) __builtin_prefetch(&cells_[home(c.symbol)]);
            for (const Cell& c : cells)
                if (add(c.symbol, c.coefficient * factor)) created(c.symbol);
            return cells.size();
        }
        // Many cells: walk the table once, updating the cells the added row shares, then
        // delete those that cancelled and create the rest.
        ws.spread_out();
        const std::uint64_t update = ws.next_update();
        ws.doomed.clear();
        for (Cell& slot : cells_) {
            const Symbol s = slot.symbol;
            if (s == 0 || ws.dense_for[s] != ws.addend) continue;
            ws.seen[s] = update;
            const double sum = slot.coefficient + ws.dense[s] * factor;
            if (near_zero_value(sum))
                ws.doomed.push_back(s);
            else
                slot.coefficient = sum;
        }
        for (const Symbol s : ws.doomed) (void)take(s);
        for (const Cell& c : cells)
            if (ws.seen[c.symbol] != update && add(c.symbol, c.coefficient * factor)) created(c.symbol);
        return cells_.size() + cells.size();
    }
    const std::span<const Cell> cells = ws.sorted_cells();
    if ((cells_.size() > 64 && 8 * cells.size() < cells_.size()) || cells.size() == 1) {
        if (drop != 0) (void)take(drop);
        for (const Cell& c : cells)
            if (add(c.symbol, c.coefficient * factor)) created(c.symbol);
        return cells.size();
    }
    // Merge the two sorted lists into the buffer, then copy the result back.
    std::vector<Cell>& merged = ws.merge;
    merged.resize(cells_.size() + cells.size());
    Cell* out = merged.data();
    const Cell* a = cells_.data();
    const Cell* const ae = a + cells_.size();
    const Cell* b = cells.data();
    const Cell* const be = b + cells.size();
    std::uint64_t mask = 0;
    auto keep = [&](const Cell& cell) {
        if (cell.symbol == drop) return;
        mask |= bit(cell.symbol);
        *out++ = cell;
    };
    auto product = [&](const Cell* cell) {
        const double p = cell->coefficient * factor;
        if (!near_zero_value(p)) {
            mask |= bit(cell->symbol);
            *out++ = Cell{cell->symbol, p};
            created(cell->symbol);
        }
    };
    while (a != ae && b != be) {
        if (a->symbol < b->symbol) {
            keep(*a++);
        } else if (b->symbol < a->symbol) {
            product(b++);
        } else {
            const double sum = a->coefficient + b->coefficient * factor;
            if (!near_zero_value(sum)) {
                mask |= bit(a->symbol);
                *out++ = Cell{a->symbol, sum};
            }
            ++a;
            ++b;
        }
    }
    while (a != ae) keep(*a++);
    while (b != be) product(b++);
    const auto merged_size = static_cast<std::size_t>(out - merged.data());
    if (cells_.capacity() < merged_size) cells_.reserve(std::max(merged_size, 2 * cells_.capacity()));
    cells_.assign(merged.data(), out);
    mask_ = mask;
    size_ = static_cast<std::uint32_t>(cells_.size());
    if (size_ > kHashFrom) rehash(kMinSlots);
    return merged_size + cells.size();
}

enum class Kind : std::uint8_t { Invalid, External, Slack, Error, Dummy };

// What the two solvers below share: the kinds of the symbols, the objective, and the steps of
// the method that look at nothing else. Adding a constraint once its row is written over the
// current parameters, choosing the subject and the entering symbol, and the optimisation loop
// live here. `Tableau` keeps the rows and supplies new_symbol, add_row, has_row, take_row,
// insert_row (of a new row), enter (of a symbol a pivot made basic), substitute, forget
// (deletes a symbol's cells from every row), leaving_symbol, pivot (false, changing nothing,
// when the leaving row has no coefficient for the entering symbol) and budget_symbols (the
// symbols that size the pivot budget), work_done (the cells visited so far) and effort (all the
// work done so far).
template <typename Tableau>
class Simplex {
public:
    // An optimisation gives up with NoProgress once it has made base + per_constraint × (the
    // number of constraints) pivots, or the solver as many since it was made: a stall spread
    // over many constraints is a stall too. per_constraint 0 (the default) leaves only a fixed
    // pivot budget for each optimisation, far larger.
    void set_patience(std::size_t base, std::size_t per_constraint) noexcept {
        patience_base_ = base;
        patience_per_constraint_ = per_constraint;
    }
    // An optimisation also gives up once the solver has visited this many cells in all: a
    // bound on its time, the same on every machine.
    void set_work_limit(std::uint64_t cells) noexcept { work_limit_ = cells; }
    // ... and once it has done this much work of every kind (`effort`: cells visited, and steps
    // through the split solver's tree of boundaries).
    void set_effort_limit(std::uint64_t effort) noexcept { effort_limit_ = effort; }
    // Whether the entering symbol is the one whose objective coefficient is most negative (the
    // newest of equal ones) rather than the newest with any negative coefficient. Where many
    // constraints are met exactly, the newest can lead through them one at a time: a crowded
    // Legacy split of 10,000 constraints took 1.2 million pivots, and takes 24,000 this way.
    // Either way the method reaches a best split, not always the same one.
    void set_steepest_entering(bool on);

protected:
    // The objective holds a cell for most symbols and takes part in every substitution.
    Simplex() { objective_.make_direct(0); }

    Kind kind_of(Symbol s) const noexcept { return kinds_[s]; }

    // Adds the constraint "row relation 0" of the given strength, its row written over the
    // current parameters, and re-optimises.
    Status add_written(Row&& row, Relation relation, double strength);
    Status optimise(Row& objective);
    // Adds a row that has no natural subject: an artificial variable stands for it, and an
    // objective equal to the row drives it to zero if the row can be satisfied at all.
    Status add_with_artificial_variable(Row&& row);
    // Turns "lhs = row" into "rhs = row'".
    static void solve_for_pair(Row& row, Symbol lhs, Symbol rhs) {
        row.add(lhs, -1.0);
        solve_for(row, rhs);
    }
    // The last step of substituting `symbol` by the row staged in the workspace (of this
    // constant): the same in the objective and in the artificial objective, if any.
    void substitute_in_objectives(Symbol symbol, double constant);
    // Brings the membership of `s` in `falling_` up to date with the objective.
    void recheck_objective(Symbol s) {
        const double c = objective_.coefficient_for(s);
        const bool falls = kind_of(s) != Kind::Dummy && c < 0.0;
        falling_.set(s, falls);
        if (steepest_ && falls) push_steep(c, s);
    }

    std::vector<Kind> kinds_;  // by symbol; kinds_[0] is Invalid
    Row objective_;
    SymbolSet falling_;        // symbols whose objective coefficient is negative
    // With steepest entering: a heap of (coefficient, symbol), the most negative on top, noted
    // whenever a coefficient of the objective falls below zero or changes there. An entry whose
    // coefficient is no longer the symbol's is stale and skipped.
    struct Steep {
        double coefficient;
        Symbol symbol;
        // Heap order: the top is the most negative, the newest among equals.
        friend bool operator<(const Steep& a, const Steep& b) noexcept {
            return a.coefficient > b.coefficient || (a.coefficient == b.coefficient && a.symbol < b.symbol);
        }
    };
    bool steepest_ = false;
    std::vector<Steep> steep_;
    void rebuild_steep();
    void push_steep(double coefficient, Symbol s);
    Symbol steepest() noexcept;
    Row* artificial_ = nullptr;  // set while an artificial objective is being optimised
    Workspace workspace_;
    std::size_t constraint_count_ = 0;

    // Starts a ratio test: nothing held yet, no row met.
    void start_ratio_test() {
        holders_.clear();
        ++ratio_test_;
        if (row_met_.size() < kinds_.size()) row_met_.resize(2 * kinds_.size(), 0);
    }
    // Whether the current ratio test meets the row of `s` for the first time.
    bool first_meeting(Symbol s) noexcept {
        if (row_met_[s] == ratio_test_) return false;
        row_met_[s] = ratio_test_;
        return true;
    }
    // What the ratio test found holding the entering symbol (rows, or in the split solver also
    // sizes, with their coefficients), kept for the substitution of the pivot that follows: the
    // leaving row is the only row that changes in between, and it leaves the tableau. Only a
    // ratio test that finds a leaving symbol sets `holders_of_`.
    std::vector<std::pair<std::uint32_t, double>> holders_;
    Symbol holders_of_ = 0;  // the symbol `holders_` is for, 0: none
    std::uint64_t ratio_test_ = 0;  // counts the ratio tests

private:
    Tableau& self() noexcept { return static_cast<Tableau&>(*this); }
    std::vector<std::uint64_t> row_met_;  // by symbol: the last ratio test that met its row
    // Turns "0 = row" into "subject = row'": the subject's cell c is removed and everything else
    // is multiplied by −1/c.
    static void solve_for(Row& row, Symbol subject) {
        const double c = row.take(subject);
        row.scale(-1.0 / c);
    }
    // The newest Slack or Error symbol of a row.
    Symbol any_pivotable_symbol(const Row& row) const noexcept;
    Symbol choose_subject(const Row& row, Symbol marker, Symbol other) const noexcept;
    Symbol entering_symbol(const Row& objective) noexcept;

    std::size_t patience_base_ = 0;
    std::size_t patience_per_constraint_ = 0;
    std::uint64_t work_limit_ = UINT64_MAX;
    std::uint64_t effort_limit_ = UINT64_MAX;
    std::size_t pivots_made_ = 0;  // by every optimisation so far
};

}  // namespace detail

class Solver : public detail::Simplex<Solver> {
public:
    Solver();

    Variable new_variable();
    std::uint32_t variable_count() const noexcept {
        return static_cast<std::uint32_t>(var_symbol_.size());
    }

    // Adds the constraint and re-optimises. On Unsatisfiable the constraints added before are
    // still in force and the solver stays usable.
    Status add_constraint(const Constraint& constraint);
    Status add_constraint(const Expression& left, Relation relation, const Expression& right,
                          double strength) {
        return add_constraint(make_constraint(left, relation, right, strength));
    }

    // The current value of a variable.
    double value(Variable v) const noexcept;

    std::size_t constraint_count() const noexcept { return constraint_count_; }

    // Reserves room for about this many constraints and variables.
    void reserve(std::size_t constraints, std::size_t variables);

    // Cells visited so far while adding rows to rows: the solver's work.
    std::uint64_t work_done() const noexcept { return cells_visited_; }
    std::uint64_t effort() const noexcept { return work_done(); }  // cells are all it visits

    // Whether the current solution is the only best one: no variable is a free parameter, and
    // every parameter that can move (a symbol outside the basis, but a dummy, which stays at
    // zero) raises the objective by at least `margin` a unit, and by at least a `relative` part
    // of the objective's largest coefficient, which bounds the rounding of the others. Any other
    // solution sets some parameter above zero, and so costs more. (A degenerate best solution can
    // be the only one and still fail this.)
    bool only_best(double margin, double relative) const;

private:
    friend class detail::Simplex<Solver>;
    using Kind = detail::Kind;
    using Symbol = detail::Symbol;
    using Cell = detail::Cell;
    using Row = detail::Row;

    static constexpr std::size_t kIndexColumnsFrom = 512;  // symbols
    Symbol new_symbol(Kind kind);
    bool is_basic(Symbol s) const noexcept { return basic_[s] != 0; }

    // row += other × coefficient, `other` being the row staged in the workspace; row's cell for
    // `drop` (0: none) is removed first. `owner` is the basic symbol of `row` when the row is in
    // the tableau (its new cells are entered in the column index), else 0.
    void add_row(Row& row, Symbol owner, double other_constant, double coefficient, Symbol drop = 0);
    void substitute(Symbol symbol, const Row& replacement);

    void insert_row(Symbol basic, Row&& row);
    Row take_row(Symbol basic);
    void note_in_column(Symbol s, Symbol owner) {
        if (indexed_ && kinds_[s] != Kind::Dummy) columns_.push(s, owner);
    }
    void build_columns();
    // Calls f(basic symbol) for every row that may hold a cell for `s` (possibly more than
    // once, possibly for rows that do not).
    template <typename F>
    void for_rows_with(Symbol s, F&& f) const {
        if (indexed_) {
            columns_.for_each(s, [&](Symbol owner) {
                if (is_basic(owner)) f(owner);
            });
        } else {
            for (const Symbol owner : basics_) f(owner);
        }
    }

    bool has_row(Symbol s) const noexcept { return is_basic(s); }
    // Whether what is left of a required constraint is nothing but rounding.
    static bool leaves_nothing(double constant) noexcept { return detail::near_zero_value(constant); }
    void enter(Symbol s, Row&& row) { insert_row(s, std::move(row)); }
    void forget(Symbol s);
    Symbol leaving_symbol(Symbol entering);
    bool pivot(Symbol entering, Symbol leaving);
    std::size_t budget_symbols() const noexcept { return kinds_.size(); }

    std::vector<std::uint8_t> basic_;    // by symbol: 1 while the symbol has a row
    std::vector<Row> rows_;              // by symbol: its row while basic
    std::vector<Symbol> basics_;         // the basic symbols, in no particular order
    std::vector<std::uint32_t> basic_at_;  // by symbol: its index in basics_ while basic
    // By symbol, once there are more than a few hundred symbols (`indexed_`; before that every
    // row is looked at): basic symbols whose rows may hold a cell for it. An entry can be stale
    // (the cell has cancelled out, or the row has left the tableau) and is checked before use;
    // Dummy symbols, which never enter the basis, are not indexed.
    detail::ColumnLists columns_;
    bool indexed_ = false;
    std::vector<Symbol> var_symbol_;     // by variable: its External symbol, 0 until mentioned
    std::uint64_t cells_visited_ = 0;    // while adding rows to rows
};

// The solver behind a split of one axis into consecutive elements (spacer, segment, spacer,
// ..., spacer) between two fixed bounds. It runs the same incremental method, constraint by
// constraint and pivot by pivot, as `Solver` does on the usual form of a split — one variable
// per boundary, each boundary kept between the bounds by two required inequalities — but it
// keeps the tableau in a form whose size grows with the work done rather than with the square
// of the number of elements:
//
// - The bounds are constants, not variables: nothing refers to them.
// - A boundary is the sum of the sizes of the elements before it. Instead of one row per
//   boundary (each a running sum, so that the rows together hold a number of cells quadratic in
//   the number of elements) it keeps one row per element size, which stays short.
// - The rows of the range inequalities ("boundary k is at or after the start", "at or before
//   the end") are the same running sums. They are not stored either: a tree over the
//   boundaries keeps their values, and the ratio test asks it for the boundary that a pivot
//   would move onto a bound first. Only when such a row leaves the basis is it written out.
//
// Constraints are stated on element sizes; the size of the whole area is a constant.
//
// Like the usual form, the solver starts with every boundary on the start: the "at or after the
// start" symbols are the parameters, at zero, and the "at or before the end" rows are in the
// tree. It can start them on the end instead, the other symbols being the parameters. That
// changes which of two equally good splits it may reach, but when a long split is constrained
// from its first element to its last it saves a great deal: a boundary's row is then the sum of
// the elements not yet constrained, which is short, instead of the running sum of all those
// already constrained, which is written into the next element's size at every step.
class SplitSolver : public detail::Simplex<SplitSolver> {
public:
    // The size of one element times a coefficient; `kArea` stands for the whole area.
    struct Term {
        std::uint32_t element;
        double coefficient;
    };
    static constexpr std::uint32_t kArea = UINT32_MAX;

    // Work done so far, for checking how the effort grows with the size of a split.
    struct Counters {
        std::uint64_t pivots = 0;
        std::uint64_t cell_updates = 0;   // cells visited while adding rows to rows and summing sizes
        std::uint64_t tree_steps = 0;     // nodes visited in the boundary tree
    };

    // `elements` elements between `start` and `end` (start ≤ end), the boundaries starting on the
    // end when `from_end` is set.
    SplitSolver(std::size_t elements, double start, double end, bool from_end = false);

    Status add(std::initializer_list<Term> terms, double constant, Relation relation, double strength);
    // Adds weight × size(element) to the objective, a linear preference with no row of its own,
    // and re-optimises.
    Status prefer(std::uint32_t element, double weight);
    // Adds "size(element) ≥ 0", required. Its slack is the size itself: while basic it keeps no
    // row of its own, and the size's row stands for it (it mirrors the size).
    Status add_not_negative(std::uint32_t element);
    // Adds "size(b) = size(a)", required, and from then on keeps one row for both sizes (where
    // the two rows agree but for rounding, and neither element's size has a mirror). Elements
    // made equal by required constraints (the gaps of a large Space* split) would otherwise keep
    // copies of one row, every one rewritten by each pivot that touches it. The boundaries after
    // every element still move with its size.
    Status add_equal_sizes(std::uint32_t a, std::uint32_t b);

    // Boundary k (0 … elements): the start of element k; boundary `elements` is the end.
    double boundary(std::size_t k) const;
    // All boundaries, 0 … elements.
    std::vector<double> boundaries() const;

    // Whether the split is past the size where every result must stay as it always was. Then
    // a range row that leaves the basis is summed from the nearest boundary already on a bound
    // rather than from the start, and the ratio test's bar for the rounding noise of a running
    // sum grows with the terms summed. The short sum keeps a crowded split of thousands of
    // elements linear, and the growing bar keeps a badly scaled one from pivoting on noise;
    // the long sum and the fixed bar are what the usual form computes, to the last bit, in the
    // rare degenerate splits where the noise decides a pivot. A large split also gives back the
    // room of rows that have cancelled down (see Row::shrink_if_sparse). That changes no result,
    // only the count of cells visited, which a small split may be given a limit on.
    void set_large(bool on) noexcept { large_ = on; }

    // Whether the ratio test's running sums start again at every boundary already on a bound,
    // whose coefficient it knows exactly, as a large split's range rows do (see set_large).
    // Summed from the start instead, the noise of thousands of cancelling coefficients (a Fill
    // of weight 65,535 beside a Fill(1)) can pass for a coefficient: the pivot then finds none
    // in the row it writes out, and the solver gives up (Status::Unstable).
    void set_restart_sums(bool on) noexcept { restart_sums_ = on; }

    // Whether the ratio test gives equal ratios to the oldest symbol rather than the newest. At a
    // degenerate vertex, with many constraints met exactly and as many rows at a ratio of zero,
    // the choice decides how far the method walks and how long its rows grow: a SpaceAround
    // split of 1,100 constraints with an overlap visited 919 million cells (2.1 s) taking the
    // newest, 21 million (0.3 s) taking the oldest. Elsewhere the newest can be the better one.
    // Either choice leads to a best split, not always the same one.
    void set_oldest_on_ties(bool on) noexcept { tree_.set_oldest_on_ties(on); }

    // The bounds that `kArea` terms stand for, when they are not the elements' own.
    void set_area(double start, double end) noexcept {
        area_start_ = start;
        area_end_ = end;
    }

    const Counters& counters() const noexcept { return counters_; }

    // Whether the columns find every cell of the sizes and of the stored rows that are not
    // direct, and the direct stored rows are the ones asked instead: a check for tests.
    bool columns_consistent() const;

private:
    friend class detail::Simplex<SplitSolver>;
    using Kind = detail::Kind;
    using Symbol = detail::Symbol;
    using Cell = detail::Cell;
    using Row = detail::Row;
    // Owners in a column list: basic symbols, or element sizes with this bit set.
    static constexpr std::uint32_t kSizeOwner = 0x80000000u;

    // Minimum (lower range rows) and maximum (upper range rows) of the boundaries whose range
    // row is in the basis, with the newest symbol among equal values (or the oldest, see
    // set_oldest_on_ties), under range additions.
    class BoundaryTree {
    public:
        struct Best {
            double value;
            Symbol symbol;
        };
        void reset(std::size_t count, double value);
        void set_oldest_on_ties(bool on) noexcept { oldest_on_ties_ = on; }
        // Whether `a` wins a tie against `b` (0: none, which loses); the ratio test asks it too.
        bool wins_tie(Symbol a, Symbol b) const noexcept {
            return b == 0 || (a != 0 && (oldest_on_ties_ ? a < b : a > b));
        }
        void add(std::size_t from, std::size_t to, double delta, std::uint64_t& steps);  // [from, to)
        void set_lower(std::size_t k, Symbol s, std::uint64_t& steps);  // s = 0: none
        void set_upper(std::size_t k, Symbol s, std::uint64_t& steps);
        template <bool Lowest, typename Hopeless>
        Best extreme(std::size_t from, std::size_t to, std::uint64_t& steps, Hopeless&& hopeless) const;
        double value(std::size_t k, std::uint64_t& steps) const;

    private:
        struct Node {
            double low = 0.0, high = 0.0, pending = 0.0;
            Symbol low_symbol = 0, high_symbol = 0;
        };
        void pull(std::size_t i) noexcept;
        void apply(std::size_t i, double delta) noexcept;
        std::vector<Node> nodes_;
        std::vector<double> leaf_;       // by boundary: its value, as of the last push
        std::vector<Symbol> lower_, upper_;
        std::size_t size_ = 0;
        bool oldest_on_ties_ = false;
    };

    Symbol new_symbol(Kind kind);
    bool is_row(Symbol s) const noexcept { return state_[s] == kStored; }

    void add_row(Row& row, std::uint32_t owner, double other_constant, double coefficient, Symbol drop = 0);
    void note(Symbol s, std::uint32_t owner) {
        if (kinds_[s] != Kind::Dummy) columns_.push(s, owner);
    }
    // Whether an owner in a column list still stands for a row (a size unless it shares another
    // element's, a symbol while its row is stored), and that row.
    bool owns_row(std::uint32_t owner) const noexcept {
        return (owner & kSizeOwner) != 0 ? shared_[owner & ~kSizeOwner] == (owner & ~kSizeOwner) : is_row(owner);
    }
    Row& owned(std::uint32_t owner) noexcept {
        return (owner & kSizeOwner) != 0 ? sizes_[owner & ~kSizeOwner] : rows_[owner];
    }
    // Whether a change to the row of `owner` notes the cells it makes in the columns: not when
    // the row is direct.
    bool listed(std::uint32_t owner, const Row& row) const noexcept { return owner != 0 && !row.is_direct(); }
    // Brings the registration of an owner's row as direct up to date with its form, after a
    // change; `unlisted`: the change made cells that are not in the columns.
    void track(std::uint32_t owner, bool unlisted);
    void unregister(std::uint32_t owner) noexcept;
    // The owner's place in direct_rows_ plus one, 0: none.
    std::uint32_t& direct_at(std::uint32_t owner) noexcept {
        return (owner & kSizeOwner) != 0 ? size_direct_at_[owner & ~kSizeOwner] : direct_at_[owner];
    }
    // Calls f(owner) for every owner that may hold `s`: those in its column list, then the
    // direct rows that hold it (all found before f is first called).
    template <typename F>
    void for_owners_of(Symbol s, F&& f);
    void substitute(Symbol symbol, const Row& replacement);
    void insert_row(Symbol basic, Row&& row);
    Row take_row(Symbol basic);
    void add_to_size(std::size_t element, double other_constant, double coefficient, Symbol drop);
    // The row of a range symbol that is basic, written out.
    Row range_row(Symbol s);
    // After a pivot made `s` basic: a range symbol is kept in the tree instead of as a row.
    void enter(Symbol s, Row&& row);
    // Keeps `anchors_` up to date for boundary k after one of its range symbols moved.
    void mark_anchor(std::size_t k);

    bool has_row(Symbol s) const noexcept { return is_row(s); }
    // As Solver's, the rounding allowed growing with the span: a padded split spans up to some
    // thousand times the area (hundreds of billions of hundredths), where a sum's last bit is
    // worth more than the usual allowance.
    bool leaves_nothing(double constant) const noexcept {
        return std::fabs(constant) < std::max(detail::kNearZero, kSpanRounding * (end_ - start_));
    }
    void forget(Symbol s);
    Symbol leaving_symbol(Symbol entering);
    bool pivot(Symbol entering, Symbol leaving);
    std::size_t budget_symbols() const noexcept { return kinds_.size() + virtual_symbols_; }
    std::uint64_t work_done() const noexcept { return counters_.cell_updates; }
    std::uint64_t effort() const noexcept { return counters_.cell_updates + counters_.tree_steps; }

    static constexpr std::uint8_t kNonBasic = 0, kStored = 1, kInTree = 2, kMirror = 3;

    // Of the span: a sum's rounding, a few of its last bits.
    static constexpr double kSpanRounding = 1e-14;
    double start_, end_;
    double area_start_, area_end_;  // what kArea stands for
    std::size_t elements_;
    std::vector<std::uint8_t> state_;        // by symbol: kNonBasic, kStored, kInTree or kMirror
    std::vector<std::uint32_t> boundary_of_; // by symbol: the boundary of a range symbol, else 0
    std::vector<std::uint32_t> mirrored_;    // by symbol: element + 1 whose size a mirror slack is, else 0
    std::vector<Symbol> mirror_;             // by element: its basic mirror slack, 0: none
    std::vector<std::uint8_t> upper_of_;     // by symbol: 1 for an "at or before the end" symbol
    std::vector<Row> rows_;                  // by symbol: its row while stored
    detail::ColumnLists columns_;            // by symbol: owners that may hold it
    // The owners of the rows that are direct, stored rows and sizes. Their cells are not in the
    // columns: a row that holds a good share of all symbols (often for a pivot or two only) is
    // asked for a symbol instead. (In a long split the size that takes what is left gains and
    // loses thousands of cells on every pivot: listed, 10,000 constraints filled the columns with
    // 30 million entries, 120 MB.)
    std::vector<std::uint32_t> direct_rows_;
    std::vector<std::uint32_t> direct_at_;       // by symbol: see direct_at()
    std::vector<std::uint32_t> size_direct_at_;  // by element: see direct_at()
    std::vector<std::uint32_t> direct_hits_;     // for_owners_of: the direct rows holding its symbol
    std::vector<Row> sizes_;                 // by element: its size (see shared_)
    // By element: the element whose row is its size (itself, unless add_equal_sizes made it
    // share another's); and by such an element, the others that share its row.
    std::vector<std::uint32_t> shared_;
    std::vector<std::vector<std::uint32_t>> sharers_;
    const Row& size_of(std::size_t element) const noexcept { return sizes_[shared_[element]]; }
    std::vector<Symbol> lower_, upper_;      // by boundary: its range symbols
    BoundaryTree tree_;
    detail::BitSet anchors_;                 // inner boundaries with a range symbol not basic
    bool large_ = false;
    bool restart_sums_ = false;
    // The ratio test's sizes holding the entering symbol, by element. (`holders_` has them too,
    // with the rows, in column order, as the pivot's substitution visits them.)
    std::vector<std::pair<std::uint32_t, double>> size_hits_;
    std::vector<std::uint64_t> size_seen_;  // by element: the last ratio test that met its size
    // Puts size_hits_ in the order of their elements: sorted, or where they are many over a short
    // span of elements (the gaps of a Space* mode share one size), placed by element.
    void order_size_hits();
    std::vector<std::uint64_t> placed_at_;  // by element: the last ratio test that placed it
    std::vector<double> placed_;            // by element: the coefficient placed there
    std::size_t virtual_symbols_ = 0;  // symbols the usual form has and this one does not
    Counters counters_;
};

}  // namespace tarvo::core::cassowary
