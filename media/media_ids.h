#pragma once

// The Insert Object dialog and its controls.
enum : int {
  IDD_INSERT_OBJECT = 7000,
  IDC_OBJECT_TYPES = 7001,
  IDC_CREATE_NEW = 7002,
  IDC_CREATE_FROM_FILE = 7003,
  IDC_OBJECT_FILE = 7004,
  IDC_OBJECT_BROWSE = 7005,
};
