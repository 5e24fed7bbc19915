#pragma once
// The widget set: thin subclasses of Qt widgets.
