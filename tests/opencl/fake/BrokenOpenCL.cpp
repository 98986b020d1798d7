// OpenCL libraries broken the ways a damaged installation breaks, each built into a folder of its
// own as libOpenCL.so.1, so that the program finds it by the name it always loads:
//   BROKEN_OPENCL_NO_PLATFORM_IDS    exports device and platform queries but not clGetPlatformIDs
//   BROKEN_OPENCL_ABSURD_TEXT_SIZE   one platform whose every text is 2^62 bytes long
//   BROKEN_OPENCL_ABSURD_DEVICE_COUNT one platform with 2^32 - 1 devices

#include <CL/cl.h>

#include <cstring>

namespace {

const cl_platform_id ThePlatform = reinterpret_cast<cl_platform_id>(0x1000);
constexpr const char PlatformText[] = "Broken OpenCL";

#ifdef BROKEN_OPENCL_ABSURD_TEXT_SIZE
constexpr std::size_t TextSize = std::size_t{1} << 62;
#else
constexpr std::size_t TextSize = sizeof PlatformText;
#endif

}  // namespace

extern "C" {

#ifndef BROKEN_OPENCL_NO_PLATFORM_IDS
CL_API_ENTRY cl_int CL_API_CALL clGetPlatformIDs(cl_uint num_entries, cl_platform_id* platforms,
                                                 cl_uint* num_platforms) {
  if (num_platforms != nullptr) *num_platforms = 1;
  if (platforms != nullptr && num_entries > 0) platforms[0] = ThePlatform;
  return CL_SUCCESS;
}
#endif

CL_API_ENTRY cl_int CL_API_CALL clGetPlatformInfo(cl_platform_id platform, cl_platform_info, size_t param_value_size,
                                                  void* param_value, size_t* param_value_size_ret) {
  if (platform != ThePlatform) return CL_INVALID_PLATFORM;
  if (param_value_size_ret != nullptr) *param_value_size_ret = TextSize;
  if (param_value == nullptr) return CL_SUCCESS;
  if (param_value_size < TextSize) return CL_INVALID_VALUE;
  std::memcpy(param_value, PlatformText, sizeof PlatformText);
  return CL_SUCCESS;
}

CL_API_ENTRY cl_int CL_API_CALL clGetDeviceIDs(cl_platform_id platform, cl_device_type, cl_uint, cl_device_id*,
                                               cl_uint* num_devices) {
  if (platform != ThePlatform) return CL_INVALID_PLATFORM;
#ifdef BROKEN_OPENCL_ABSURD_DEVICE_COUNT
  if (num_devices != nullptr) *num_devices = 0xFFFFFFFFu;
  return CL_SUCCESS;
#else
  if (num_devices != nullptr) *num_devices = 0;
  return CL_DEVICE_NOT_FOUND;
#endif
}

}  // extern "C"
