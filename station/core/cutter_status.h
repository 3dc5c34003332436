#pragma once
// The cutter's status request: the USB printing class's vendor request, and the
// same request framed for the test cutter that serves a named pipe.
#include <cstddef>
#include <cstdint>

constexpr uint32_t kUsbPrintVendorGetCommand = 0x22003C;  // IOCTL_USBPRINT_VENDOR_GET_COMMAND
constexpr uint8_t kStatusRequest[4] = {0x09, 0x00, 0x00, 0x00};
constexpr size_t kStatusReplyBytes = 8;
constexpr size_t kStatusReadyByte = 4;  // nonzero: online and ready to cut

// On a pipe the request travels as one message: control code, input length, input,
// output length (all little-endian), and the answer is the output bytes alone.
constexpr size_t kPipeStatusFrameBytes = 16;

inline void PutLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

inline void MakePipeStatusFrame(uint8_t (&frame)[kPipeStatusFrameBytes]) {
    PutLe32(frame, kUsbPrintVendorGetCommand);
    PutLe32(frame + 4, sizeof(kStatusRequest));
    for (size_t i = 0; i < sizeof(kStatusRequest); ++i) frame[8 + i] = kStatusRequest[i];
    PutLe32(frame + 12, kStatusReplyBytes);
}

inline bool IsPipeStatusFrame(const uint8_t* data, size_t n) {
    if (n != kPipeStatusFrameBytes) return false;
    uint8_t frame[kPipeStatusFrameBytes];
    MakePipeStatusFrame(frame);
    for (size_t i = 0; i < n; ++i)
        if (data[i] != frame[i]) return false;
    return true;
}
