"""Effects running over a drawn screen: frames printed one after another, in colour.

    python3 examples/effects_demo.py [--plain]

Each effect is built from the module's constructor functions, handed to an EffectManager and
stepped over a copy of the same small screen; every few steps the frame is printed.
"""

import sys

import tarvo_core.rust.native as tc

WIDTH, HEIGHT = 44, 7


def base_screen() -> "tc.Buffer":
    buf = tc.Buffer.empty(tc.Rect(0, 0, WIDTH, HEIGHT))
    accent = tc.Style.new().fg(tc.Color.CYAN).add_modifier(tc.Modifier.BOLD)
    block = tc.Block.bordered().title(tc.Span.styled(" effects ", accent)).border_style(tc.Style.new().fg(tc.Color.BLUE))
    text = tc.Paragraph.new([
        tc.Line.raw("Timed effects run over the cells of a"),
        tc.Line.styled("buffer: fades, sweeps, dissolves and", tc.Style.new().fg(tc.Color.YELLOW)),
        tc.Line.raw("their sequences and combinations."),
    ]).block(block)
    tc.render_widget(text, buf.area, buf)
    buf.set_style(tc.Rect(1, 5, WIDTH - 2, 1), tc.Style.new().bg(tc.Color.rgb(30, 30, 60)))
    return buf


def frames_of(title: str, effect: "tc.Effect", times: list[int], plain: bool) -> None:
    """Prints the screen with `effect` after each elapsed time in `times` (ms from the start)."""
    print(f"-- {title} ({effect.name()})")
    manager = tc.EffectManager()
    manager.add(effect)
    elapsed = 0
    for t in times:
        buf = base_screen()
        manager.process(t - elapsed, buf, buf.area)
        elapsed = t
        print(f"   t = {t} ms")
        for row in (buf.to_string_lines() if plain else buf.to_ansi_lines()):
            print("   " + row)


def main(plain: bool = False) -> None:
    times = [0, 150, 300, 600]
    frames_of("fade in from black", tc.fade_from(tc.Color.BLACK, tc.Color.BLACK, 600, tc.Interpolation.QuadOut),
              times, plain)
    frames_of("sweep in from the left",
              tc.sweep_in(tc.Motion.LeftToRight, 10, 0, tc.Color.rgb(10, 10, 30), 600), times, plain)
    frames_of("a bar stretching out from the middle",
              tc.expand_effect(tc.ExpandDirection.Horizontal, tc.Style.new().bg(tc.Color.BLUE), 600), times, plain)
    frames_of("glyphs growing in", tc.evolve_into_effect(tc.EvolveSymbolSet.Quadrants, 600), times, plain)
    frames_of("dissolve, then coalesce back",
              tc.sequence_effects([tc.dissolve(300).with_rng(3), tc.coalesce(300).with_rng(5)]),
              [0, 200, 300, 450, 600], plain)
    frames_of("slide out over a lighter background, together",
              tc.parallel_effects([tc.slide_out(tc.Motion.UpToDown, 2, 0, tc.Color.BLACK, 600),
                                   tc.lighten_bg(0.5, 600)]), times, plain)
    pulse = tc.ping_pong_effect(tc.hsl_shift_fg(180, 0, 0, 300))
    print("-- its text form:")
    print("   " + pulse.to_dsl().replace("\n", "\n   "))
    frames_of("a colour pulse, there and back", pulse, [0, 300, 600], plain)


if __name__ == "__main__":
    main(plain="--plain" in sys.argv)
