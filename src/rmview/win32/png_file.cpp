#include "png_file.h"

#include <vector>

#include <wincodec.h>
#include <wrl/client.h>

#include "diagnostics.h"

namespace rmview::win {
namespace {

using Microsoft::WRL::ComPtr;

bool Check(HRESULT hr, const wchar_t* call, const std::filesystem::path& file) {
    if (SUCCEEDED(hr)) return true;
    rm::win::LogError(call, file.wstring(), static_cast<DWORD>(hr));
    return false;
}

}  // namespace

bool SavePng(const std::filesystem::path& file, const void* pixels, UINT width, UINT height) {
    // GDI leaves the fourth byte zero; a PNG reader would take it for transparency.
    const UINT stride = width * 4;
    std::vector<BYTE> opaque(static_cast<const BYTE*>(pixels), static_cast<const BYTE*>(pixels) + stride * height);
    for (std::size_t i = 3; i < opaque.size(); i += 4) opaque[i] = 0xFF;

    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    if (!Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(factory.GetAddressOf())),
               L"CoCreateInstance WICImagingFactory", file) ||
        !Check(factory->CreateStream(stream.GetAddressOf()), L"CreateStream", file) ||
        !Check(stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE), L"InitializeFromFilename", file)) {
        return false;
    }
    const auto encode = [&] {
        ComPtr<IWICBitmapEncoder> encoder;
        ComPtr<IWICBitmapFrameEncode> frame;
        WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
        if (!Check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.GetAddressOf()), L"CreateEncoder",
                   file) ||
            !Check(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache), L"IWICBitmapEncoder::Initialize",
                   file) ||
            !Check(encoder->CreateNewFrame(frame.GetAddressOf(), nullptr), L"CreateNewFrame", file) ||
            !Check(frame->Initialize(nullptr), L"IWICBitmapFrameEncode::Initialize", file) ||
            !Check(frame->SetSize(width, height), L"SetSize", file) ||
            !Check(frame->SetPixelFormat(&format), L"SetPixelFormat", file)) {
            return false;
        }
        if (format != GUID_WICPixelFormat32bppBGRA) {
            rm::win::LogText(L"PNG encoder refused 32-bit BGRA: " + file.wstring());
            return false;
        }
        return Check(frame->WritePixels(height, stride, static_cast<UINT>(opaque.size()), opaque.data()),
                     L"WritePixels", file) &&
               Check(frame->Commit(), L"IWICBitmapFrameEncode::Commit", file) &&
               Check(encoder->Commit(), L"IWICBitmapEncoder::Commit", file);
    };
    if (encode()) return true;
    // No half-written picture under the name the user chose.
    stream.Reset();
    DeleteFileW(file.c_str());
    return false;
}

}  // namespace rmview::win
