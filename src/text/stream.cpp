// Base behaviour of LStream: every operation a stream class leaves alone is a
// call the program should never make.
#include "text/stream.h"

#include "support/message_service.h"

int32_t LStream::read(void*, int32_t) {
    internalError(51000);
}
int32_t LStream::write(const void*, int32_t) {
    internalError(51010);
}
int64_t LStream::seek(int64_t) {
    internalError(51020);
}
int64_t LStream::tell() const {
    internalError(51030);
}
void LStream::flush() {
    internalError(51040);
}
bool LStream::isOpen() const {
    internalError(51050);
}
void LStream::close() {
    internalError(51060);
}
void LStream::truncate(int64_t) {
    internalError(51070);
}
const char* LStream::name() const {
    return "(unknown stream)";
}
