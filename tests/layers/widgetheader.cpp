// Built only by the layers test, against Qt Core alone: Qt's include root makes this header reachable all the
// same, so only what the compiler read can show that a Qt Core library took in a widget header.
#include <QtWidgets/QWidget>
