"""tarvo_core: a terminal user interface toolkit with a native core."""
