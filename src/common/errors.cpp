#include "errors.h"

#include "appinfo.h"

#include <new>

namespace zelp {

namespace {
std::string withSource(std::string source) {
    return source.empty() ? AppInfo::executableName() : source;
}
} // namespace

RuntimeError::RuntimeError(ErrorInfo info)
    : std::runtime_error(info.description), info_(std::move(info)) {
    info_.source = withSource(std::move(info_.source));
}

RuntimeError::RuntimeError(int32_t number, std::string description, std::string source, int line)
    : RuntimeError(ErrorInfo{number, std::move(source), std::move(description), line}) {}

void raiseError(int32_t number, std::string description, std::string source) {
    throw RuntimeError(number, std::move(description), std::move(source));
}

ErrorInfo errorFrom(const std::exception_ptr &error) {
    try {
        std::rethrow_exception(error);
    } catch (const RuntimeError &e) {
        return e.info();
    } catch (const std::bad_alloc &) {
        return {ErrNum::OutOfMemory, AppInfo::executableName(), "Out of memory", 0};
    } catch (const std::out_of_range &e) {
        return {ErrNum::SubscriptOutOfRange, AppInfo::executableName(), e.what(), 0};
    } catch (const std::exception &e) {
        return {ErrNum::InternalError, AppInfo::executableName(), e.what(), 0};
    } catch (...) {
        return {ErrNum::InternalError, AppInfo::executableName(), "Internal error", 0};
    }
}

} // namespace zelp
