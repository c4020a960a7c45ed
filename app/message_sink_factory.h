#pragma once

#include <functional>
#include <memory>

#include "message_sink.h"

class QWidget;

namespace corvat {

// Makes the MessageSink through which one operation reaches the user, owned
// by `parent`'s window. The program shows message boxes; tests record.
using MessageSinkFactory = std::function<std::unique_ptr<MessageSink>(QWidget* parent)>;

}  // namespace corvat
