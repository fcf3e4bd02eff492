#include "core/byte_stream.h"

#include <algorithm>
#include <cstring>

namespace vdl {

ByteBuf::int_type ByteBuf::underflow() {
    return get_ < d_.size() ? traits_type::to_int_type(d_[get_]) : traits_type::eof();
}

ByteBuf::int_type ByteBuf::uflow() {
    int_type c = underflow();
    if (!traits_type::eq_int_type(c, traits_type::eof())) ++get_;
    return c;
}

std::streamsize ByteBuf::showmanyc() {
    return get_ < d_.size() ? static_cast<std::streamsize>(d_.size() - get_) : -1;
}

std::streamsize ByteBuf::xsgetn(char* s, std::streamsize n) {
    if (n <= 0 || get_ >= d_.size()) return 0;
    size_t k = std::min(static_cast<size_t>(n), d_.size() - get_);
    std::memcpy(s, d_.data() + get_, k);
    get_ += k;
    return static_cast<std::streamsize>(k);
}

ByteBuf::int_type ByteBuf::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    char ch = traits_type::to_char_type(c);
    xsputn(&ch, 1);
    return c;
}

std::streamsize ByteBuf::xsputn(const char* s, std::streamsize n) {
    if (n <= 0) return 0;
    size_t k = static_cast<size_t>(n);
    if (put_ + k > d_.size()) d_.resize(put_ + k, 0);
    std::memcpy(d_.data() + put_, s, k);
    put_ += k;
    return n;
}

ByteBuf::pos_type ByteBuf::seekoff(off_type off, std::ios_base::seekdir dir,
                                   std::ios_base::openmode which) {
    const bool in = (which & std::ios_base::in) != 0, out = (which & std::ios_base::out) != 0;
    if (!in && !out) return pos_type(off_type(-1));
    off_type base = 0;
    if (dir == std::ios_base::cur) {
        if (in && out) return pos_type(off_type(-1));
        base = static_cast<off_type>(in ? get_ : put_);
    } else if (dir == std::ios_base::end) {
        base = static_cast<off_type>(d_.size());
    }
    off_type to = base + off;
    if (to < 0) return pos_type(off_type(-1));
    if (in) get_ = static_cast<size_t>(to);
    if (out) put_ = static_cast<size_t>(to);
    return pos_type(to);
}

ByteBuf::pos_type ByteBuf::seekpos(pos_type pos, std::ios_base::openmode which) {
    return seekoff(off_type(pos), std::ios_base::beg, which);
}

} // namespace vdl
