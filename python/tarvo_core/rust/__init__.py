"""Native part of tarvo_core.

Importing :mod:`tarvo_core.rust.native` also creates :mod:`tarvo_core.rust.engine` and registers
it in ``sys.modules``; importing this package does that, so ``import tarvo_core.rust.engine``
works on its own.
"""

from . import native  # noqa: F401  (registers tarvo_core.rust.engine)
