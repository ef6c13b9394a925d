#pragma once

class ZuResourceItem;
class ZuTavoCollectionItem;

class ZuResourceItemUtils {
 public:
  // The resource the item shows, or null (no item, or it shows none).
  static ZuResourceItem* GetResourceItem(ZuTavoCollectionItem* item);
};
